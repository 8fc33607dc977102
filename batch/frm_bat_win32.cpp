#include "batch/frm_bat_win32.h"

#include <windowsx.h>

#include "batch/batch_file.h"
#include "batch/frm_bat_layout.h"
#include "dialogs/modal_dialog_win32.h"
#include "ui/combo_box_win32.h"
#include "ui/label_win32.h"
#include "ui/simple_controls_win32.h"

namespace zorvo {

namespace id = frm_bat_id;

FrmBatWin32::FrmBatWin32(HINSTANCE instance, HWND owner, const BatServices& services)
    : owner_(owner), window_(frmBatLayout(), *this, dialogOptions(instance, owner)) {
    applyDesign();
    const BatControls controls{
        .form = window_,
        .Combo1 = window_.comboBox(id::Combo1),
        .Combo2 = window_.comboBox(id::Combo2),
        .Option1 = window_.optionButton(id::Option1),
        .Option2 = window_.optionButton(id::Option2),
        .Option3 = window_.optionButton(id::Option3),
        .lblOK = window_.label(id::lblOK),
        .lblCancel = window_.label(id::lblCancel),
    };
    logic_ = std::make_unique<frmBat>(controls, services);
}

FrmBatWin32::~FrmBatWin32() = default;

void FrmBatWin32::applyDesign() {
    // The list the dialog is designed with; the table order is the sorted order.
    ui::ComboBoxWin32& actions = window_.comboBox(id::Combo2);
    for (const BatchAction& action : kBatchActions) {
        actions.addItem(action.item);
    }
    window_.optionButton(id::Option1).setValue(true);
    // Every control but the option buttons makes a group of its own, so the arrow keys stay
    // among the option buttons and never move the focus onto a label or the frame.
    for (const ui::ControlDesc& control : window_.desc().controls) {
        if (control.kind == ui::ControlKind::OptionButton) {
            continue;
        }
        if (const HWND child = GetDlgItem(window_.hwnd(), control.id)) {
            SetWindowLongPtrW(child, GWL_STYLE, GetWindowLongPtrW(child, GWL_STYLE) | WS_GROUP);
        }
    }
}

void FrmBatWin32::showModal() {
    logic_->Form_Load();
    runModal(window_, owner_);
}

void FrmBatWin32::controlMouseMove(int control) {
    if (control == id::lblOK) {
        logic_->lblOK_MouseMove();
    } else if (control == id::lblCancel) {
        logic_->lblCancel_MouseMove();
    }
}

void FrmBatWin32::controlClick(int control) {
    if (control == id::lblOK) {
        logic_->lblOK_Click();
    } else if (control == id::lblCancel) {
        logic_->lblCancel_Click();
    }
}

void FrmBatWin32::comboChange(int control) {
    if (control == id::Combo1) {
        logic_->Combo1_Change();
    }
}

bool FrmBatWin32::overFrame(LPARAM at) const {
    // A group box lets the mouse through to the dialog, yet it counts as a control of its own:
    // moving over it keeps a highlighted label highlighted.
    RECT frame;
    const HWND window = GetDlgItem(window_.hwnd(), id::Frame1);
    if (!window || !GetWindowRect(window, &frame)) {
        return false;
    }
    MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&frame), 2);
    return PtInRect(&frame, POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)}) != FALSE;
}

bool FrmBatWin32::formMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (!logic_) {
        return false;
    }
    result = 0;
    switch (message) {
    case WM_MOUSEMOVE:
        if (!overFrame(lParam)) {
            logic_->Form_MouseMove();
        }
        return true;
    case WM_CLOSE:
        // "Отмена", "Генерация" after writing, and the close box all end here.
        endModal(window_, owner_);
        return true;
    default:
        return false;
    }
}

} // namespace zorvo
