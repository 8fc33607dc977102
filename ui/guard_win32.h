#pragma once
// No exception may cross a window procedure: every procedure runs its body through guarded(),
// which turns an escaping exception into the untrapped-error message box and ends the program.

#include <windows.h>

#include <functional>
#include <string>

namespace zorvo::ui {

/// True while an untrapped error is being reported. Window procedures then do only default
/// processing, so no handler runs against half-changed state (timers keep ticking under the
/// message box).
bool reportingUntrappedError() noexcept;

/// Runs once before the error box shows, e.g. to take the notification-area icon away.
void setUntrappedErrorCleanup(std::function<void()> cleanup);

/// Shows `text` in a message box (caption "Zorvo", OK only, no icon) and ends the process.
[[noreturn]] void reportUntrappedError(const std::wstring& text) noexcept;

/// Called inside a catch block: reports the exception being handled.
[[noreturn]] void reportCurrentException() noexcept;

template <typename Body> LRESULT guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        reportCurrentException();
    }
}

} // namespace zorvo::ui
