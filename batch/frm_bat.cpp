#include "batch/frm_bat.h"

#include "batch/batch_file.h"
#include "core/product.h"
#include "core/program_folder.h"

namespace zorvo {
namespace {

void highlight(Label& label, bool on) {
    label.setBackColour(on ? kDialogButtonHoverBack : kDialogButtonBack);
    label.setBorder(on);
}

} // namespace

frmBat::frmBat(const BatControls& controls, const BatServices& services)
    : c_(controls), s_(services), minutes_(controls.Combo1, services.messages, services.locale) {}

void frmBat::Form_Load() {
    for (int minutes = kMinMinutes; minutes <= kMaxMinutes; ++minutes) {
        c_.Combo1.addItem(std::to_wstring(minutes));
    }
    minutes_.write(L"1");
    for (int i = 0; i < c_.Combo2.itemCount(); ++i) {
        if (c_.Combo2.item(i) == kTasks[0].batchItem) {
            c_.Combo2.setListIndex(i);
        }
    }
    ProgramFolder = withTrailingSeparator(s_.process.programFolder());
}

void frmBat::Combo1_Change() {
    minutes_.change();
}

void frmBat::lblOK_Click() {
    std::wstring windowSwitch;
    if (c_.Option2.value()) {
        windowSwitch = L"/min";
    } else if (c_.Option3.value()) {
        windowSwitch = L"/hid";
    }
    const Task* action = findBatchAction(c_.Combo2.text());
    if (action == nullptr) {
        return;
    }
    const BatchRequest request{ProgramFolder, s_.process.exeName(), action, c_.Combo1.text(),
                               windowSwitch};
    const BatchFile file = batchFileBytes(request, s_.locale.oem(), s_.shortPath);
    if (!file.bytes) {
        s_.messages.show(file.error);
        return;
    }
    // These names are common: a script of the user's own must not be lost without a word. A
    // file that already says exactly this is ours from before.
    const FileHead existing = s_.files.readHead(action->batchFile, file.bytes->size() + 1);
    const bool same = existing.status == FileHead::Status::Read && existing.bytes == *file.bytes;
    if (existing.status != FileHead::Status::Missing && !same &&
        !s_.messages.askYesNo(std::wstring(L"В рабочей папке уже есть файл ") + action->batchFile +
                              L", и в нём другие команды.\r\nЗаменить его?")) {
        return;
    }
    try {
        s_.files.replace(action->batchFile, *file.bytes);
    } catch (const FileError& error) {
        // The user may fix the folder and try again; the choices stay as they are.
        s_.messages.show(error.message());
        return;
    }
    c_.form.close();
}

void frmBat::lblCancel_Click() {
    c_.form.close();
}

void frmBat::lblOK_MouseMove() {
    highlight(c_.lblOK, true);
}
void frmBat::lblCancel_MouseMove() {
    highlight(c_.lblCancel, true);
}

void frmBat::Form_MouseMove() {
    highlight(c_.lblOK, false);
    highlight(c_.lblCancel, false);
}

} // namespace zorvo
