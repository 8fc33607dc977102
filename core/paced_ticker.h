#pragma once
// Drift-free pacing for a once-a-second countdown. An interval timer fires a little late every
// time; summed over hours that adds minutes. Here tick k is due at start + k * interval on a
// monotonic clock, and a late timer message catches up every tick that fell due.

#include <cstdint>
#include <optional>

namespace zorvo {

/// How to set a system timer that runs with `armedMs` (0: not at all) after a wake-up that came
/// `lateMs` after its moment (negative: early, or no tick was due): nothing (left running), or
/// the milliseconds to set it to. A call to the system every second costs (under Wine, a trip to
/// its server), so a timer that already runs with the period and woke at most a little late is
/// left as it is; otherwise it is set for the exact moment `delayMs` away, and once on time
/// again, back to the plain period.
inline std::optional<std::int64_t> rearmAfterWake(std::int64_t periodMs, std::int64_t delayMs,
                                                  std::int64_t lateMs, std::int64_t armedMs) {
    constexpr std::int64_t kTolerableLateness = 25;
    const bool onTime = lateMs >= 0 && lateMs <= kTolerableLateness;
    if (onTime && armedMs == periodMs) {
        return std::nullopt;
    }
    return onTime ? periodMs : delayMs;
}

class PacedTicker {
public:
    explicit PacedTicker(std::int64_t intervalMs) : interval_(intervalMs) {}

    /// Starts counting: tick 1 is due one interval after `nowMs`.
    void start(std::int64_t nowMs) {
        start_ = nowMs;
        taken_ = 0;
    }
    /// How many ticks have fallen due by `nowMs` and were not yet taken; marks them taken.
    std::int64_t takeDue(std::int64_t nowMs) {
        const std::int64_t due = nowMs < start_ ? 0 : (nowMs - start_) / interval_;
        const std::int64_t fresh = due > taken_ ? due - taken_ : 0;
        taken_ += fresh;
        return fresh;
    }
    /// Milliseconds from `nowMs` until the next tick falls due (at least 1).
    std::int64_t msUntilNext(std::int64_t nowMs) const {
        const std::int64_t next = start_ + (taken_ + 1) * interval_;
        return next > nowMs ? next - nowMs : 1;
    }

    struct Wake {
        /// False once a tick's handler stopped the timer (or closed its window).
        bool running = true;
        /// How to set the system timer next (see rearmAfterWake); nothing: leave it.
        std::optional<std::int64_t> rearmMs;
    };
    /// One wake-up of the system timer: `tick` runs once for every tick that fell due by
    /// `now()` and answers whether the timer still runs; the first false ends the catching up,
    /// so a handler that stopped its timer is never called again. `armedMs` is the period the
    /// system timer runs with now.
    template <typename Now, typename Tick>
    Wake wake(const Now& now, const Tick& tick, std::int64_t armedMs) {
        const std::int64_t due = takeDue(now());
        bool running = true;
        for (std::int64_t i = 0; i < due && running; ++i) {
            running = tick();
        }
        if (!running) {
            return {false, std::nullopt};
        }
        // The handlers took time of their own: the next moment is measured from after them.
        const std::int64_t untilNext = msUntilNext(now());
        return {true, rearmAfterWake(interval_, untilNext, due > 0 ? interval_ - untilNext : -1,
                                     armedMs)};
    }

private:
    std::int64_t interval_;
    std::int64_t start_ = 0;
    std::int64_t taken_ = 0;
};

} // namespace zorvo
