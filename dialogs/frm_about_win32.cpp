#include "dialogs/frm_about_win32.h"

#include "dialogs/frm_about_layout.h"
#include "dialogs/modal_dialog_win32.h"
#include "ui/label_win32.h"
#include "ui/simple_controls_win32.h"
#include "ui/system_library_win32.h"

namespace zorvo {

namespace id = frm_about_id;

void ShellLinkOpener::open(const std::wstring& address) {
    // Whatever the shell makes of it, the box stays open and says nothing.
    ui::shellOpen(window_.hwnd(), address.c_str(), SW_SHOWMINIMIZED);
}

FrmAboutWin32::FrmAboutWin32(HINSTANCE instance, HWND owner)
    : owner_(owner), window_(frmAboutLayout(), *this, dialogOptions(instance, owner)) {
    const AboutControls controls{
        .form = window_,
        .Text1 = window_.textBox(id::Text1),
        .lblHomePage = window_.label(id::lblHomePage),
        .lblOK = window_.label(id::lblOK),
    };
    logic_ = std::make_unique<frmAbout>(controls, links_);
}

FrmAboutWin32::~FrmAboutWin32() = default;

void FrmAboutWin32::showModal() {
    logic_->Form_Load();
    runModal(window_, owner_);
}

void FrmAboutWin32::controlMouseMove(int control) {
    if (control == id::lblOK) {
        logic_->lblOK_MouseMove();
    } else if (control == id::lblHomePage) {
        logic_->lblHomePage_MouseMove();
    }
}

void FrmAboutWin32::controlClick(int control) {
    if (control == id::lblOK) {
        logic_->lblOK_Click();
    } else if (control == id::lblHomePage) {
        logic_->lblHomePage_Click();
    }
}

bool FrmAboutWin32::formMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (!logic_) {
        return false;
    }
    result = 0;
    switch (message) {
    case WM_MOUSEMOVE:
        logic_->Form_MouseMove();
        return true;
    case WM_CLOSE:
        // "OK" and the close box both end here.
        endModal(window_, owner_);
        return true;
    default:
        return false;
    }
}

} // namespace zorvo
