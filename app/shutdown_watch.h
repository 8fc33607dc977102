#pragma once
// What follows a shutdown or reboot that Windows has accepted. Windows first asks every program
// whether the session may end; one with unsaved work holds the shutdown up, or the user calls it
// off, and the computer stays on. So the request alone proves nothing: only the end of the session
// does, and the program waits for it, out of sight, before it logs the task as done.

#include <string>

#include "power/power_actions.h"

namespace zorvo {

class ShutdownWatch {
public:
    /// How long Windows may take to ask this program whether the session may end.
    static constexpr int kQueryWaitMs = 2 * 60 * 1000;

    /// What the program does after a message of the session or the end of the wait.
    enum class Step {
        /// Nothing yet.
        Wait,
        /// The logon ends under a countdown or an idle window: leave, nothing performed.
        Leave,
        /// The session ends as asked: log the task, then leave.
        LogAndLeave,
        /// Say that Windows called the shutdown off, then leave.
        SayCalledOff,
        /// Say that Windows did not begin the shutdown in time, then leave.
        SayNotBegun,
    };

    /// Windows accepted the request.
    void requestAccepted();
    /// WM_QUERYENDSESSION: the program always lets the session end.
    void queryEndSession();
    /// WM_ENDSESSION; `ending` is its wParam.
    Step endSession(bool ending);
    /// The wait for the query is over.
    Step waitOver();

private:
    enum class State { Idle, Requested, Queried, Decided };
    State state_ = State::Idle;
};

/// The box for SayCalledOff or SayNotBegun: what happened, as far as the program knows, and what
/// usually holds a shutdown up.
std::wstring shutdownNotDoneMessage(ShutdownWatch::Step step, WmiMethod method);

} // namespace zorvo
