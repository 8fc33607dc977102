#pragma once
// The modal dialogs that the task menu opens: the batch-file generator and the about box, each
// built afresh over the main window at every opening.

#include <windows.h>

#include <utility>

#include "app/frm_main.h"
#include "batch/frm_bat.h"

namespace zorvo {

class DialogHostWin32 final : public DialogHost {
public:
    /// `services` must outlive the host (they are the main window's own).
    DialogHostWin32(HINSTANCE instance, BatServices services)
        : instance_(instance), batServices_(std::move(services)) {}

    /// The main window: the dialogs' owner, disabled while one is open.
    void setOwner(HWND owner) { owner_ = owner; }

    void showBatDialog() override;
    void showAboutDialog() override;

private:
    HINSTANCE instance_;
    BatServices batServices_;
    HWND owner_ = nullptr;
};

} // namespace zorvo
