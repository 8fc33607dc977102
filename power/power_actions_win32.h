#pragma once
// The countdown's own actions on the real system: WMI through its scripting interface and the
// request to stay awake.

#include "power/power_actions.h"

namespace zorvo {

class PowerActionsWin32 final : public PowerActions {
public:
    /// Never throws: every failure comes back as a result with a reason for the user.
    ActionResult runWmi(WmiMethod method) override;
    void keepAwake(bool on) override;
};

} // namespace zorvo
