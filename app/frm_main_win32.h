#pragma once
// frmMain on a real window: builds the window from its table, makes the services, and turns the
// window's messages into the handlers of the frmMain logic.

#include <windows.h>

#include <memory>

#include "app/dialog_host_win32.h"
#include "app/frm_main.h"
#include "app/services_win32.h"
#include "dialogs/frm_dial_win32.h"
#include "power/power_actions_win32.h"
#include "power/sleep_library_win32.h"
#include "ui/form_window_win32.h"
#include "ui/unique_handle_win32.h"

namespace zorvo {

class FrmMainWindow final : private ui::FormEvents {
public:
    /// `process` has passed the start conditions and holds the single-instance object.
    FrmMainWindow(HINSTANCE instance, Win32Process& process);
    FrmMainWindow(const FrmMainWindow&) = delete;
    FrmMainWindow& operator=(const FrmMainWindow&) = delete;
    ~FrmMainWindow() override;

    /// Loads the form, shows it with `showCommand` and runs the message loop. Returns the
    /// process's exit code.
    int run(int showCommand);

private:
    // ui::FormEvents
    void controlMouseMove(int control) override;
    void controlMouseDown(int control) override;
    void controlClick(int control) override;
    void comboChange(int control) override;
    void comboSelect(int control) override;
    void comboKeyDown(int control, int keyCode, int shift) override;
    void comboFocus(int control, bool gained) override;
    void menuCommand(int command) override;
    void activated(bool active) override;
    bool formMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    bool isTrayCallback(WPARAM wParam, LPARAM lParam) const;
    void loadIcons();
    void connectTimers();
    static void removeTrayIcon(HWND window) noexcept;

    HINSTANCE instance_;
    Win32Process& process_;
    UINT taskbarCreated_;
    /// The first activation after the load reaches the logic exactly once, from the queue, even
    /// when the system never activates the window (a start in the background).
    bool firstActivationDone_ = false;

    Win32MessageBox messages_;
    Win32Tray tray_;
    Win32Clock clock_;
    Win32Keyboard keyboard_;
    Win32Files files_;
    Win32Locale locale_;
    SleepLibraryWin32 power_;
    PowerActionsWin32 actions_;
    FrmDialWin32 popup_;
    DialogHostWin32 dialogs_;

    ui::unique_hicon formIcon_;
    ui::unique_hicon bigIcon_;
    ui::unique_hicon smallIcon_;
    ui::unique_hicon taskIcons_[5];

    /// Declared before the window: messages that arrive while the window is being built find
    /// no logic yet and are left to the defaults.
    std::unique_ptr<frmMain> logic_;
    ui::FormWindow window_;
};

} // namespace zorvo
