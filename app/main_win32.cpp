// The program's entry: DPI awareness, common controls, the main window and its message loop.

#include <windows.h>

#include <commctrl.h>

#include "app/frm_main_win32.h"
#include "app/start_checks.h"
#include "system/files_win32.h"
#include "system/process_win32.h"
#include "system/shell_win32.h"
#include "ui/dpi_win32.h"
#include "ui/guard_win32.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nShowCmd) {
    zorvo::ui::enableDpiAwareness();
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    try {
        // The checks come before any window of the program exists, so that a refused copy never
        // shows up where scripts and the shell look for the running one.
        zorvo::Win32Process process;
        {
            zorvo::Win32Files files;
            zorvo::Win32MessageBox messages;
            if (zorvo::CheckStartConditions(process, files, messages) ==
                zorvo::LoadOutcome::EndProgram) {
                return 0;
            }
        }
        zorvo::FrmMainWindow main(hInstance, process);
        return main.run(nShowCmd);
    } catch (...) {
        zorvo::ui::reportCurrentException();
    }
}
