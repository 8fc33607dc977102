#include "batch/frm_bat_win32.h"

#include <windows.h>

#include <windowsx.h>

#include "batch/frm_bat_layout.h"
#include "core/tasks.h"
#include "ui/combo_box_win32.h"
#include "ui/label_win32.h"
#include "ui/simple_controls_win32.h"

namespace zorvo {

namespace id = frm_bat_id;

FrmBatWin32::FrmBatWin32(HINSTANCE instance, HWND owner, const BatServices& services)
    : ModalForm(frmBatLayout(), frmBatRoutes(), instance, owner) {
    applyDesign();
    ui::FormWindow& form = window();
    const BatControls controls{
        .form = form,
        .Combo1 = form.comboBox(id::Combo1),
        .Combo2 = form.comboBox(id::Combo2),
        .Option1 = form.optionButton(id::Option1),
        .Option2 = form.optionButton(id::Option2),
        .Option3 = form.optionButton(id::Option3),
        .lblOK = form.label(id::lblOK),
        .lblCancel = form.label(id::lblCancel),
    };
    setLogic(std::make_unique<frmBat>(controls, services));
}

void FrmBatWin32::applyDesign() {
    // The list the dialog is designed with; the table order is the sorted order.
    ui::ComboBoxWin32& actions = window().comboBox(id::Combo2);
    for (const Task& task : kTasks) {
        actions.addItem(task.batchItem);
    }
    window().optionButton(id::Option1).setValue(true);
    // Every control but the option buttons makes a group of its own, so the arrow keys stay
    // among the option buttons and never move the focus onto a label or the frame.
    for (const ControlDesc& control : window().desc().controls) {
        if (control.kind == ControlKind::OptionButton) {
            continue;
        }
        if (const HWND child = GetDlgItem(window().hwnd(), control.id)) {
            SetWindowLongPtrW(child, GWL_STYLE, GetWindowLongPtrW(child, GWL_STYLE) | WS_GROUP);
        }
    }
}

bool FrmBatWin32::overBareForm(LPARAM at) const {
    // A group box lets the mouse through to the dialog, yet it counts as a control of its own:
    // moving over it keeps a highlighted label highlighted.
    RECT frame;
    const HWND dialog = window().hwnd();
    const HWND group = GetDlgItem(dialog, id::Frame1);
    if (!group || !GetWindowRect(group, &frame)) {
        return true;
    }
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&frame), 2);
    return PtInRect(&frame, POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)}) == FALSE;
}

} // namespace zorvo
