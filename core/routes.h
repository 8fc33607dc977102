#pragma once
// A form's events routed to its handlers by a table: which control, menu command or timer, which
// event, which handler of the form's logic. Each form's layout file holds its table beside its
// design; the front end hands every event to dispatch(), and the unit tests check the tables
// against the designs without any window.

#include <algorithm>
#include <span>

namespace zorvo {

enum class Event {
    Click,     ///< a label used as a button, or an option button
    MouseMove, ///< the pointer moved over a label, or over the bare form
    MouseDown, ///< a mouse button went down on a label, or on the bare form
    Change,    ///< the user changed the text of an editable combo box
    KeyDown,   ///< a key went down in a combo box's edit field
    GotFocus,
    LostFocus,
    Menu,  ///< a menu command whose item is enabled
    Timer, ///< a tick of an enabled timer
};

/// The source of the events of the form itself (its bare client area): no control has ID 0.
inline constexpr int kFormSource = 0;

/// What a KeyDown event carries. `shift`: 1 Shift, 2 Ctrl, 4 Alt.
struct KeyArgs {
    int keyCode = 0;
    int shift = 0;
};

template <typename Logic> struct Route {
    using Handler = void (Logic::*)();
    using KeyHandler = void (Logic::*)(int keyCode, int shift);

    constexpr Route(int from, Event on, Handler to) : source(from), event(on), handler(to) {}
    constexpr Route(int from, Event on, KeyHandler to) : source(from), event(on), keyHandler(to) {}

    /// A control's or menu command's ID, a timer's ID, or kFormSource.
    int source = kFormSource;
    Event event = Event::Click;
    Handler handler = nullptr;
    KeyHandler keyHandler = nullptr;
};

/// Calls the handler that the table routes `event` of `source` to; false when there is none.
template <typename Logic>
bool dispatch(std::span<const Route<Logic>> routes, Logic& logic, int source, Event event,
              KeyArgs keys = {}) {
    const auto route = std::ranges::find_if(routes, [source, event](const Route<Logic>& candidate) {
        return candidate.source == source && candidate.event == event;
    });
    if (route == routes.end()) {
        return false;
    }
    if (route->keyHandler) {
        (logic.*route->keyHandler)(keys.keyCode, keys.shift);
    } else if (route->handler) {
        (logic.*route->handler)();
    }
    return true;
}

} // namespace zorvo
