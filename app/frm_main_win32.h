#pragma once
// frmMain on a real window: builds the window from its table, makes the services, and turns the
// window's messages into the handlers of the frmMain logic.

#include <windows.h>

#include <memory>

#include "app/dialog_host_win32.h"
#include "app/frm_main.h"
#include "app/task_pictures_win32.h"
#include "core/unique_handle_win32.h"
#include "dialogs/frm_dial_win32.h"
#include "power/melody_player_win32.h"
#include "power/power_actions_win32.h"
#include "power/power_capabilities_win32.h"
#include "power/sleep_library_win32.h"
#include "system/error_text_win32.h"
#include "system/files_win32.h"
#include "system/process_win32.h"
#include "system/shell_win32.h"
#include "ui/form_window_win32.h"

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
    void formEvent(int source, Event event, KeyArgs keys) override;
    void activated(bool active) override;
    bool formMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    bool isTrayCallback(WPARAM wParam, LPARAM lParam) const;

    /// The wait for Windows to begin a shutdown it accepted: a system timer of the window.
    class ShutdownWaitTimer final : public Timer {
    public:
        explicit ShutdownWaitTimer(const ui::FormWindow& window) : window_(window) {}
        bool enabled() const override { return enabled_; }
        void setEnabled(bool on) override;
        int interval() const override { return ShutdownWatch::kQueryWaitMs; }
        /// The timer's ID among the window's, above those of its design.
        static constexpr UINT_PTR kId = 0x5A0;

    private:
        const ui::FormWindow& window_;
        bool enabled_ = false;
    };
    /// The title bar's and task switcher's icons for a screen of `dpi`.
    void setWindowIcons(UINT dpi);
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
    PowerCapabilitiesWin32 capabilities_;
    Win32ErrorTexts errorTexts_;
    MelodyPlayerWin32 melody_;
    FrmDialWin32 popup_;
    DialogHostWin32 dialogs_;

    /// The window class's icons at the primary screen's DPI, so that the window has them from
    /// its creation on: setting them afterwards makes the system redo the title bar's icons
    /// before the window is first seen. Declared before the window, which they outlive.
    unique_hicon formIcon_;
    unique_hicon classBigIcon_;
    /// The window's own icons when its screen's DPI differs from the primary one's.
    unique_hicon bigIcon_;
    unique_hicon smallIcon_;
    TaskPicturesWin32 pictures_;
    ShutdownWaitTimer shutdownWait_{window_};

    /// Declared before the window: messages that arrive while the window is being built find
    /// no logic yet and are left to the defaults.
    std::unique_ptr<frmMain> logic_;
    ui::FormWindow window_;
};

} // namespace zorvo
