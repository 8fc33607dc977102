#include "power/keep_awake.h"

namespace zorvo {
namespace {

AwakeHold awakeHoldFor(bool counting, bool lowPowerIdle, bool onBattery) {
    if (!counting) {
        return AwakeHold::None;
    }
    return lowPowerIdle && onBattery ? AwakeHold::SystemAndDisplay : AwakeHold::System;
}

} // namespace

std::optional<AwakeHold> KeepAwake::counting(bool on) {
    counting_ = on;
    return update();
}

std::optional<AwakeHold> KeepAwake::powerSourceChanged() {
    return update();
}

std::optional<AwakeHold> KeepAwake::update() {
    bool lowPowerIdle = false;
    bool onBattery = false;
    if (counting_) {
        if (!lowPowerIdle_) {
            lowPowerIdle_ = source_.lowPowerIdle();
        }
        lowPowerIdle = *lowPowerIdle_;
        // The battery matters only where the system's hold alone would not last.
        onBattery = lowPowerIdle && source_.onBattery();
    }
    const AwakeHold hold = awakeHoldFor(counting_, lowPowerIdle, onBattery);
    if (hold == held_) {
        return std::nullopt;
    }
    held_ = hold;
    return hold;
}

} // namespace zorvo
