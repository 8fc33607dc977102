#include "ui/system_palette_win32.h"

#include <windows.h>

namespace zorvo::ui {

Palette readSystemPalette() noexcept {
    Palette palette;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    palette.highContrast =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    SystemColours& system = palette.system;
    system.window = GetSysColor(COLOR_WINDOW);
    system.windowText = GetSysColor(COLOR_WINDOWTEXT);
    system.hotLight = GetSysColor(COLOR_HOTLIGHT);
    system.highlight = GetSysColor(COLOR_HIGHLIGHT);
    system.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    system.grayText = GetSysColor(COLOR_GRAYTEXT);
    return palette;
}

} // namespace zorvo::ui
