#include "power/keep_awake.h"

namespace zorvo {

std::optional<AwakeHold> KeepAwake::counting(bool on) {
    counting_ = on;
    return update();
}

std::optional<AwakeHold> KeepAwake::powerSourceChanged() {
    return update();
}

std::optional<AwakeHold> KeepAwake::update() {
    AwakeHold hold = AwakeHold::None;
    if (counting_) {
        if (!lowPowerIdle_) {
            lowPowerIdle_ = source_.lowPowerIdle();
        }
        // The battery matters only where the system's hold alone would not last.
        hold =
            *lowPowerIdle_ && source_.onBattery() ? AwakeHold::SystemAndDisplay : AwakeHold::System;
    }
    if (hold == held_) {
        return std::nullopt;
    }
    held_ = hold;
    return hold;
}

} // namespace zorvo
