#pragma once
// The countdown's own actions on the real system: WMI through its scripting interface and the
// request to stay awake.

#include "power/keep_awake.h"
#include "power/power_actions.h"

namespace zorvo {

class PowerActionsWin32 final : public PowerActions {
public:
    /// Never throws: every failure comes back as a result with a reason for the user.
    ActionResult runWmi(WmiMethod method) override;
    void keepAwake(bool on) override;
    /// The window heard that the computer went over to its battery or back to the mains.
    void powerSourceChanged();

private:
    /// The computer as powrprof.dll and GetSystemPowerStatus describe it.
    class SystemPowerSource final : public PowerSource {
    public:
        bool lowPowerIdle() override;
        bool onBattery() override;
    };
    static void hold(std::optional<AwakeHold> hold);

    SystemPowerSource source_;
    KeepAwake awake_{source_};
};

} // namespace zorvo
