// The form's answer to Enter and Esc (core/dialog_keys.h), whichever of its windows has the focus.

#include "core/dialog_keys.h"
#include "ui/combo_box_win32.h"
#include "ui/form_window_win32.h"

namespace zorvo::ui {

ControlState FormWindow::controlState(int id) const {
    const ChildControl* control = controlById(id);
    return control ? control->state() : ControlState{};
}

bool FormWindow::takeDialogKey(const MSG& message) noexcept {
    if (message.message != WM_KEYDOWN || !hwnd_ || !message.hwnd ||
        (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) || !IsWindowEnabled(hwnd_)) {
        return false;
    }
    bool listDropped = false;
    if (const auto* combo = dynamic_cast<const ComboBoxWin32*>(controlByWindow(message.hwnd))) {
        listDropped = SendMessageW(combo->hwnd(), CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    }
    try {
        const DialogKeyOutcome outcome =
            dialogKey(desc_, static_cast<int>(message.wParam), listDropped,
                      [this](int id) { return controlState(id); });
        if (outcome.press != 0) {
            if (ChildControl* button = controlById(outcome.press)) {
                button->pressNow();
            }
        }
        return outcome.taken;
    } catch (...) {
        return false; // out of memory reading a caption: the key goes its ordinary way
    }
}

} // namespace zorvo::ui
