// The form following the system's colours and its high-contrast switch while it runs.

#include "ui/form_window_win32.h"
#include "ui/system_palette_win32.h"

namespace zorvo::ui {

void FormWindow::followSystemColours(UINT message) {
    if (message == WM_SYSCOLORCHANGE && tooltip_) {
        // A common control hears of new system colours only from its owner.
        SendMessageW(tooltip_, WM_SYSCOLORCHANGE, 0, 0);
    }
    const Palette now = readSystemPalette();
    if (now == palette_ || !hwnd_) {
        return;
    }
    palette_ = now;
    events_->paletteChanged();
    // Every label paints from the form's background, and every control asks the form for its
    // colours as it paints: all of them paint again, with the new palette.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace zorvo::ui
