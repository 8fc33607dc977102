#pragma once
// The about box on a real window: built afresh from its table at each opening, loaded, shown
// modally over the main window and destroyed when it closes.

#include <windows.h>

#include <string>

#include "dialogs/frm_about.h"
#include "ui/modal_form_win32.h"

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

class FrmAboutWin32 final : public ui::ModalForm<frmAbout> {
public:
    FrmAboutWin32(HINSTANCE instance, HWND owner);

private:
    ShellLinkOpener links_{window()};
};

} // namespace zorvo
