#include "app/dialog_host_win32.h"

#include "batch/frm_bat_win32.h"
#include "dialogs/frm_about_win32.h"

namespace zorvo {

void DialogHostWin32::showBatDialog() {
    FrmBatWin32 dialog(instance_, owner_, batServices_);
    dialog.showModal();
}

void DialogHostWin32::showAboutDialog() {
    FrmAboutWin32 dialog(instance_, owner_);
    dialog.showModal();
}

} // namespace zorvo
