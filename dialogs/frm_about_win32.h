#pragma once
// The about box on a real window: built afresh from its table at each opening, loaded, shown
// modally over the main window and destroyed when it closes.

#include <windows.h>

#include <memory>
#include <string>

#include "dialogs/frm_about.h"
#include "ui/form_window_win32.h"

namespace zorvo {

/// Hands an address to the shell, as the about box's window.
class ShellLinkOpener final : public LinkOpener {
public:
    /// `window` may still be under construction: it is only asked for its handle at a click.
    explicit ShellLinkOpener(const ui::FormWindow& window) : window_(window) {}
    void open(const std::wstring& address) override;

private:
    const ui::FormWindow& window_;
};

class FrmAboutWin32 final : private ui::FormEvents {
public:
    FrmAboutWin32(HINSTANCE instance, HWND owner);
    FrmAboutWin32(const FrmAboutWin32&) = delete;
    FrmAboutWin32& operator=(const FrmAboutWin32&) = delete;
    ~FrmAboutWin32() override;

    /// Loads the box, shows it and returns once it has closed.
    void showModal();

private:
    // ui::FormEvents
    void controlMouseMove(int control) override;
    void controlClick(int control) override;
    bool formMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    HWND owner_;
    ShellLinkOpener links_{window_};
    /// Declared before the window: messages that arrive while the window is being built find no
    /// logic yet and are left to the defaults.
    std::unique_ptr<frmAbout> logic_;
    ui::FormWindow window_;
};

} // namespace zorvo
