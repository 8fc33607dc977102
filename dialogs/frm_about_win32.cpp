#include "dialogs/frm_about_win32.h"

#include "core/system_library_win32.h"
#include "dialogs/frm_about_layout.h"
#include "ui/label_win32.h"
#include "ui/simple_controls_win32.h"

namespace zorvo {

namespace id = frm_about_id;

void ShellLinkOpener::open(const std::wstring& address) {
    // Whatever the shell makes of it, the box stays open and says nothing.
    shellOpen(window_.hwnd(), address.c_str(), SW_SHOWMINIMIZED);
}

FrmAboutWin32::FrmAboutWin32(HINSTANCE instance, HWND owner)
    : ModalForm(frmAboutLayout(), frmAboutRoutes(), instance, owner) {
    ui::FormWindow& form = window();
    const AboutControls controls{
        .form = form,
        .Text1 = form.textBox(id::Text1),
        .lblHomePage = form.label(id::lblHomePage),
        .lblOK = form.label(id::lblOK),
    };
    setLogic(std::make_unique<frmAbout>(controls, links_));
}

} // namespace zorvo
