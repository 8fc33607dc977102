#include "core/accessible_facts.h"

namespace zorvo {

std::optional<AccessibleFacts> accessibleFacts(const FormDesc& form, const ControlDesc& control,
                                               const ControlStates& states) {
    if (control.kind == ControlKind::Label && control.clickable) {
        const ControlState now = states(control.id);
        AccessibleFacts facts;
        facts.role = control.link ? AccessibleRole::Link : AccessibleRole::PushButton;
        facts.name = now.caption;
        if (!now.visible) {
            // A hidden button is not there for the user: nothing to read, nothing to press.
            facts.state |= kStateInvisible | kStateUnavailable;
        } else if (!now.enabled) {
            facts.state |= kStateUnavailable;
        }
        if (control.link) {
            facts.state |= kStateLinked;
        } else if (form.defaultControl == control.id) {
            facts.state |= kStateDefault;
        }
        if (now.visible && now.enabled) {
            facts.defaultAction = control.link ? kJumpAction : kPressAction;
        }
        return facts;
    }
    if (control.labelledBy != 0) {
        AccessibleFacts facts;
        facts.name = states(control.labelledBy).caption;
        return facts;
    }
    return std::nullopt;
}

} // namespace zorvo
