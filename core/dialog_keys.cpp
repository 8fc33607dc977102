#include "core/dialog_keys.h"

namespace zorvo {

DialogKeyOutcome dialogKey(const FormDesc& form, int virtualKey, bool listDropped,
                           const ControlStates& states) {
    int target = 0;
    if (virtualKey == kVkReturn) {
        target = form.defaultControl;
    } else if (virtualKey == kVkEscape) {
        target = form.cancelControl;
    }
    if (target == 0 || listDropped) {
        return {};
    }
    DialogKeyOutcome outcome{.taken = true};
    const ControlState button = states(target);
    if (button.visible && button.enabled) {
        outcome.press = target;
    }
    return outcome;
}

} // namespace zorvo
