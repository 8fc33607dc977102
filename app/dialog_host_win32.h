#pragma once
// The modal dialogs that the task menu opens.

#include "app/frm_main.h"

namespace zorvo {

/// For now the batch-file generator and the about box open nothing; their windows come next.
class DialogHostWin32 final : public DialogHost {
public:
    void showBatDialog() override;
    void showAboutDialog() override;
};

} // namespace zorvo
