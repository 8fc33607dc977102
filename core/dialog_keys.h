#pragma once
// Enter and Esc in a dialog form, as in any Windows dialog: Enter presses the form's default
// label-button and Esc its cancelling one, wherever the focus is, except while a combo box's list
// is dropped down (there they close the list). A form without such buttons (the main window)
// leaves both keys to its controls.

#include "core/accessible_facts.h"
#include "core/form_layout.h"

namespace zorvo {

inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkEscape = 0x1B;

struct DialogKeyOutcome {
    /// The key is the form's: the focused control never sees it.
    bool taken = false;
    /// The control it clicks; 0 when its button cannot be pressed now (hidden or disabled).
    int press = 0;
};

/// What a key going down in `form` does; `listDropped`: the focused control is a combo box with
/// its list open.
DialogKeyOutcome dialogKey(const FormDesc& form, int virtualKey, bool listDropped,
                           const ControlStates& states);

} // namespace zorvo
