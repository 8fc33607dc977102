#include "ui/focus_keeper_win32.h"

#include <algorithm>

#include "ui/child_control_win32.h"

namespace zorvo::ui {

void FocusKeeper::deactivating(HWND form) {
    const HWND focus = GetFocus();
    if (focus && IsChild(form, focus)) {
        last_ = focus;
    }
}

void FocusKeeper::restore(HWND form,
                          std::span<const std::unique_ptr<ChildControl>> controls) const {
    const auto canFocus = [](HWND window) {
        return window && IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window);
    };
    if (last_ && canFocus(last_) && IsChild(form, last_)) {
        SetFocus(last_);
        return;
    }
    // Otherwise the first control in the tab order that takes the focus (labels never do).
    const ChildControl* first = nullptr;
    for (const auto& control : controls) {
        const ControlDesc& d = control->desc();
        const bool focusable = d.kind != ControlKind::Label && d.kind != ControlKind::Frame &&
                               d.tabIndex >= 0 && canFocus(control->hwnd());
        if (focusable && (!first || d.tabIndex < first->desc().tabIndex)) {
            first = control.get();
        }
    }
    if (first) {
        SetFocus(first->hwnd());
    } else if (GetFocus() != form) {
        SetFocus(form);
    }
}

void FocusKeeper::clear() {
    last_ = nullptr;
}

bool FocusKeeper::remove(std::vector<int>& boxes, int box) {
    const auto found = std::find(boxes.begin(), boxes.end(), box);
    if (found == boxes.end()) {
        return false;
    }
    boxes.erase(found);
    return true;
}

void FocusKeeper::boxLosing(int box, bool leavingForm) {
    remove(leaving_, box);
    if (leavingForm) {
        leaving_.push_back(box);
    }
}

bool FocusKeeper::takeLost(int box) {
    if (remove(leaving_, box)) {
        if (std::find(away_.begin(), away_.end(), box) == away_.end()) {
            away_.push_back(box);
        }
        return false;
    }
    return true;
}

bool FocusKeeper::takeGained(int box) {
    return !remove(away_, box);
}

std::vector<int> FocusKeeper::takeAwayExcept(int box) {
    std::vector<int> lost;
    for (const int other : away_) {
        if (other != box) {
            lost.push_back(other);
        }
    }
    std::erase_if(away_, [box](int other) { return other != box; });
    return lost;
}

bool FocusKeeper::takeAway(int box) {
    return remove(away_, box);
}

} // namespace zorvo::ui
