#include "ui/timer_win32.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

#include "core/dpi_math.h"
#include "core/errors.h"
#include "ui/form_window_win32.h"

namespace zorvo::ui {

std::int64_t unbiasedMilliseconds() noexcept {
    ULONGLONG hundredNs = 0;
    if (QueryUnbiasedInterruptTime(&hundredNs)) {
        return static_cast<std::int64_t>(hundredNs / 10'000);
    }
    return static_cast<std::int64_t>(GetTickCount64());
}

void TimerWin32::arm(std::int64_t delayMs) {
    if (!form_.alive()) {
        return;
    }
    const std::int64_t clamped =
        std::clamp<std::int64_t>(delayMs, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    if (SetTimer(form_.hwnd(), static_cast<UINT_PTR>(desc_.id), static_cast<UINT>(clamped),
                 nullptr) == 0) {
        // The system has no timer left to give: a countdown that silently stood still would be
        // worse than an error the user is told about.
        throw UntrappedError(L"Не удалось запустить таймер " + std::wstring(desc_.name) +
                             L": код ошибки " + std::to_wstring(GetLastError()) + L".");
    }
    armedMs_ = clamped;
}

void TimerWin32::keepOrArm(std::int64_t periodMs, std::int64_t delayMs, std::int64_t lateMs) {
    if (const std::optional<std::int64_t> ms =
            rearmAfterWake(periodMs, delayMs, lateMs, armedMs_)) {
        arm(*ms);
    }
}

void TimerWin32::disarm() {
    if (form_.alive()) {
        KillTimer(form_.hwnd(), static_cast<UINT_PTR>(desc_.id));
    }
    armedMs_ = 0;
}

bool TimerWin32::formHidden() const {
    return form_.alive() && !IsWindowVisible(form_.hwnd());
}

void TimerWin32::setEnabled(bool on) {
    if (on == enabled_) {
        return;
    }
    enabled_ = on;
    if (!on) {
        disarm();
        return;
    }
    ++generation_;
    switch (desc_.pacing) {
    case TimerPacing::Minimum:
        arm(desc_.interval);
        break;
    case TimerPacing::MinimumWhileHidden:
        if (formHidden()) {
            arm(desc_.interval);
        }
        break;
    case TimerPacing::Paced:
        ticker_.start(unbiasedMilliseconds());
        arm(ticker_.msUntilNext(unbiasedMilliseconds()));
        break;
    case TimerPacing::SecondAligned:
    case TimerPacing::OnInput:
        // The first tick comes at once, so a display never starts out stale.
        arm(USER_TIMER_MINIMUM);
        break;
    }
}

void TimerWin32::formShown(bool shown) {
    if (!enabled_ || desc_.pacing != TimerPacing::MinimumWhileHidden) {
        return;
    }
    if (shown) {
        disarm();
    } else {
        arm(desc_.interval);
    }
}

void TimerWin32::nudge() {
    if (enabled_ && desc_.pacing == TimerPacing::OnInput) {
        arm(USER_TIMER_MINIMUM);
    }
}

bool TimerWin32::tick(unsigned generation) {
    if (!enabled_ || generation != generation_ || !form_.alive()) {
        return false;
    }
    inHandler_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{inHandler_};
    form_.events().formEvent(desc_.id, Event::Timer, {});
    // The handler may have stopped or restarted this very timer, or closed its form.
    // cppcheck-suppress knownConditionTrueFalse
    return enabled_ && generation == generation_ && form_.alive();
}

void TimerWin32::onTimerMessage() {
    if (!enabled_) {
        // A message that was queued before the timer stopped.
        disarm();
        return;
    }
    if (inHandler_) {
        return;
    }
    const unsigned generation = generation_;
    switch (desc_.pacing) {
    case TimerPacing::Minimum:
    case TimerPacing::MinimumWhileHidden:
        tick(generation);
        break;
    case TimerPacing::Paced: {
        const PacedTicker::Wake wake = ticker_.wake([] { return unbiasedMilliseconds(); },
                                                    [&] { return tick(generation); }, armedMs_);
        if (wake.running && wake.rearmMs) {
            arm(*wake.rearmMs);
        }
        break;
    }
    case TimerPacing::OnInput:
        // One tick per nudge; until the next one there is nothing new to show.
        disarm();
        tick(generation);
        break;
    case TimerPacing::SecondAligned:
        if (tick(generation)) {
            SYSTEMTIME now;
            GetLocalTime(&now);
            keepOrArm(1000, msToNextSecond(now.wMilliseconds), now.wMilliseconds);
        }
        break;
    }
}

void TimerWin32::detach() {
    enabled_ = false;
}

} // namespace zorvo::ui
