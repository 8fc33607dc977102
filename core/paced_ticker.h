#pragma once
// Drift-free pacing for a once-a-second countdown. An interval timer fires a little late every
// time; summed over hours that adds minutes. Here tick k is due at start + k * interval on a
// monotonic clock, and a late timer message catches up every tick that fell due.

#include <cstdint>

namespace zorvo::ui {

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
    std::int64_t ticksTaken() const { return taken_; }

private:
    std::int64_t interval_;
    std::int64_t start_ = 0;
    std::int64_t taken_ = 0;
};

} // namespace zorvo::ui
