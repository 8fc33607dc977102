#pragma once
// An interval timer of a form, on SetTimer, paced as its table entry says (see TimerPacing). Its
// ticks go to the form's owner as Timer events from the form's WM_TIMER; a tick never starts while
// the same handler still runs (a message box inside it keeps the other timers ticking, not this
// one).

#include <windows.h>

#include <cstdint>

#include "core/controls.h"
#include "core/form_layout.h"
#include "core/paced_ticker.h"

namespace zorvo::ui {

class FormWindow;

class TimerWin32 final : public Timer {
public:
    TimerWin32(const TimerDesc& desc, FormWindow& form)
        : desc_(desc), form_(form), ticker_(desc.interval > 0 ? desc.interval : 1) {}

    int id() const { return desc_.id; }
    const TimerDesc& desc() const { return desc_; }

    bool enabled() const override { return enabled_; }
    void setEnabled(bool on) override;
    int interval() const override { return desc_.interval; }

    /// The input an OnInput timer follows has changed: tick as soon as the system allows.
    void nudge();
    /// The form was shown or hidden.
    void formShown(bool shown);
    /// The form received WM_TIMER with this timer's ID.
    void onTimerMessage();
    /// The form's window is gone: the timer went with it.
    void detach();

private:
    void arm(std::int64_t delayMs);
    /// Sets the system timer as rearmAfterWake says: left running with `periodMs` when this tick
    /// came at most a little late (`lateMs`, negative for early), else to `delayMs`.
    void keepOrArm(std::int64_t periodMs, std::int64_t delayMs, std::int64_t lateMs);
    void disarm();
    bool formHidden() const;
    /// Calls the handler once; false when the timer was stopped or restarted meanwhile, or the
    /// window is gone.
    bool tick(unsigned generation);

    const TimerDesc& desc_;
    FormWindow& form_;
    bool enabled_ = false;
    bool inHandler_ = false;
    /// Counts enablings, so that a tick loop notices a restart made by its own handler.
    unsigned generation_ = 0;
    PacedTicker ticker_;
    /// The period the system timer runs with now; 0 when it is not running.
    std::int64_t armedMs_ = 0;
};

/// Milliseconds on a monotonic clock that stands still while the computer sleeps.
std::int64_t unbiasedMilliseconds() noexcept;

} // namespace zorvo::ui
