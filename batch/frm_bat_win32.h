#pragma once
// The batch-file dialog on a real window: built afresh from its table at each opening, loaded,
// shown modally over the main window and destroyed when it closes.

#include <windows.h>

#include "batch/frm_bat.h"
#include "ui/modal_form_win32.h"

namespace zorvo {

class FrmBatWin32 final : public ui::ModalForm<frmBat> {
public:
    FrmBatWin32(HINSTANCE instance, HWND owner, const BatServices& services);

private:
    void applyDesign();
    bool overBareForm(LPARAM at) const override;
};

} // namespace zorvo
