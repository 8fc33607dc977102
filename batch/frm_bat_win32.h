#pragma once
// The batch-file dialog on a real window: built afresh from its table at each opening, loaded,
// shown modally over the main window and destroyed when it closes.

#include <windows.h>

#include <memory>

#include "batch/frm_bat.h"
#include "ui/form_window_win32.h"

namespace zorvo {

class FrmBatWin32 final : private ui::FormEvents {
public:
    FrmBatWin32(HINSTANCE instance, HWND owner, const BatServices& services);
    FrmBatWin32(const FrmBatWin32&) = delete;
    FrmBatWin32& operator=(const FrmBatWin32&) = delete;
    ~FrmBatWin32() override;

    /// Loads the dialog, shows it and returns once it has closed.
    void showModal();

private:
    // ui::FormEvents
    void controlMouseMove(int control) override;
    void controlClick(int control) override;
    void comboChange(int control) override;
    bool formMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void applyDesign();
    bool overFrame(LPARAM at) const;

    HWND owner_;
    /// Declared before the window: messages that arrive while the window is being built find no
    /// logic yet and are left to the defaults.
    std::unique_ptr<frmBat> logic_;
    ui::FormWindow window_;
};

} // namespace zorvo
