// The program's entry: DPI awareness, common controls, the main window and its message loop.

#include <windows.h>

#include <commctrl.h>

#include "app/frm_main_win32.h"
#include "ui/dpi_win32.h"
#include "ui/guard_win32.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nShowCmd) {
    zorvo::ui::enableDpiAwareness();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    try {
        zorvo::FrmMainWindow main(hInstance);
        return main.run(nShowCmd);
    } catch (...) {
        zorvo::ui::reportCurrentException();
    }
}
