#pragma once
// How a screen reader sees a form's controls: a clickable label is a push button (or a link)
// named by its caption, whose default action is its click; an entry box is named by the label
// beside it. The Win32 front end answers the screen reader with these facts; everything else
// about a control is left to the system's own description.

#include <functional>
#include <optional>
#include <string>

#include "core/form_layout.h"

namespace zorvo {

/// What a control shows at the moment.
struct ControlState {
    bool visible = false;
    bool enabled = false;
    std::wstring caption;
};

/// The state of the form's control with the given ID (a default state for an unknown ID).
using ControlStates = std::function<ControlState(int id)>;

enum class AccessibleRole {
    Unchanged, ///< the system's own role for the control
    PushButton,
    Link,
};

/// States a screen reader is told, beyond what the system works out itself.
enum AccessibleState : unsigned {
    kStateInvisible = 1U << 0U,
    kStateUnavailable = 1U << 1U,
    /// The button Enter presses.
    kStateDefault = 1U << 2U,
    kStateLinked = 1U << 3U,
};

/// The default actions' names, as Windows calls them on a Russian system.
inline constexpr wchar_t kPressAction[] = L"Нажать";
inline constexpr wchar_t kJumpAction[] = L"Перейти";

struct AccessibleFacts {
    AccessibleRole role = AccessibleRole::Unchanged;
    std::wstring name;
    /// AccessibleState bits; only meaningful for a button or a link.
    unsigned state = 0;
    /// Empty when the control cannot be pressed now (hidden, disabled, or no button at all).
    std::wstring defaultAction;

    bool pressable() const { return !defaultAction.empty(); }
};

/// How a screen reader is to see `control` of `form`; nothing when the system's own description
/// of it stands as it is.
std::optional<AccessibleFacts> accessibleFacts(const FormDesc& form, const ControlDesc& control,
                                               const ControlStates& states);

} // namespace zorvo
