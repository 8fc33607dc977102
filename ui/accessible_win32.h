#pragma once
// What screen readers get through Active Accessibility: for a control that core/accessible_facts
// describes, WM_GETOBJECT is answered with the system's own object for the window, wrapped so that
// the role, name, state and default action are ours (a clickable label becomes a push button or a
// link that the reader can press). oleacc.dll is loaded from System32 the first time a reader
// asks, so a start without one costs nothing.

#include <windows.h>

#include <memory>

namespace zorvo::ui {

class ChildControl;

/// How an object handed to a screen reader reaches its control. The control cuts the link when it
/// goes; an object the reader still holds then answers that it is no longer there.
struct AccessibleLink {
    ChildControl* control = nullptr;
};

/// The answer to WM_GETOBJECT sent to `window`, one of the windows of the control behind `link`;
/// 0 leaves the question to the system.
LRESULT answerGetObject(const std::shared_ptr<AccessibleLink>& link, HWND window, WPARAM wParam,
                        LPARAM lParam) noexcept;

} // namespace zorvo::ui
