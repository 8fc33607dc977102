#pragma once
// What a countdown asks of the computer so that it is still awake when the time is up. Where the
// computer idles in S0 low power (Modern Standby) and runs on its battery, Windows ends a request
// to keep the system up a few minutes after the sleep timeout; only a request for the display
// holds such a computer up, so the countdown asks for that too, for as long as both hold.

#include <optional>

namespace zorvo {

enum class AwakeHold {
    /// Nothing asked: the computer sleeps when its settings say.
    None,
    /// The system kept from sleeping on its own.
    System,
    /// The system and the display: the only hold that Modern Standby on battery respects.
    SystemAndDisplay,
};

/// What the computer says of itself.
class PowerSource {
public:
    virtual ~PowerSource() = default;
    /// Whether it idles in S0 low power (Modern Standby). Asked at most once: it never changes
    /// while the program runs.
    virtual bool lowPowerIdle() = 0;
    /// Whether it runs on its battery now; false when the system cannot tell.
    virtual bool onBattery() = 0;
};

/// Follows the countdown and the power source: while a countdown runs, the system is held, and
/// the display too on a Modern Standby computer on battery. Each call gives the hold to ask for
/// when it differs from the one asked for last.
class KeepAwake {
public:
    explicit KeepAwake(PowerSource& source) : source_(source) {}
    /// A countdown started (true) or ended or stopped (false).
    std::optional<AwakeHold> counting(bool on);
    /// The computer went over to its battery or back to the mains.
    std::optional<AwakeHold> powerSourceChanged();

private:
    std::optional<AwakeHold> update();

    PowerSource& source_;
    bool counting_ = false;
    std::optional<bool> lowPowerIdle_;
    AwakeHold held_ = AwakeHold::None;
};

} // namespace zorvo
