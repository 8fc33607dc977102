#pragma once
// Whether the computer can enter standby or hibernation at all, asked before a countdown to
// either starts: a machine without them would otherwise learn it only when the time is up.

#include <optional>

namespace zorvo {

/// The sleep states the system offers, as it reports them.
struct PowerCapabilities {
    bool s1 = false;
    bool s2 = false;
    bool s3 = false;
    bool s4 = false;
    bool hiberFilePresent = false;
    /// S0 low-power idle (Modern Standby), the AoAc member of the system's answer.
    bool lowPowerIdle = false;
};

class PowerCapabilitiesService {
public:
    virtual ~PowerCapabilitiesService() = default;
    /// The system's answer; none when it cannot be had (the library or the call failed).
    virtual std::optional<PowerCapabilities> query() = 0;
};

/// The two tasks that depend on what the system offers.
enum class SleepTask { Standby, Hibernate };

enum class SleepRefusal {
    None,
    /// No S1, S2 or S3: the suspend call has nothing to enter (a Modern Standby machine).
    NoStandby,
    /// No S4: hibernation is off or the computer cannot hibernate.
    NoHibernation,
    /// S4, but no hibernation file: switched off with "powercfg /h off".
    HibernationFileMissing,
};

/// Why the task cannot be done here; None when it can, or when the system's answer is unknown
/// (then the countdown runs as it always has, and a refusal at the end is reported then).
SleepRefusal checkSleepTask(SleepTask task, const std::optional<PowerCapabilities>& answer);

/// The message for the user: what cannot be done, why, and what they can do about it.
const wchar_t* refusalMessage(SleepRefusal refusal);

} // namespace zorvo
