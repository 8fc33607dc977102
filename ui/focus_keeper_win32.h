#pragma once
// The keyboard focus of one form, kept in one place: the child that had it when the form was last
// deactivated (it gets the focus back, as in a dialog), and the combo boxes whose focus went to
// another window (a message box, another program). Such a box keeps the focus as the form's
// handlers see it and gets it back silently; only when the focus lands elsewhere in the form, or
// the box is disabled meanwhile, do the handlers hear that it was lost.

#include <windows.h>

#include <memory>
#include <span>
#include <vector>

namespace zorvo::ui {

class ChildControl;

class FocusKeeper {
public:
    /// The form stops being the active window: remembers which of its children has the focus.
    void deactivating(HWND form);
    /// `child` of the form got the focus.
    void focused(HWND child) { last_ = child; }
    /// Gives the focus back to the child that had it or, failing that, to the first control in
    /// the tab order that takes it; the form itself when there is none.
    void restore(HWND form, std::span<const std::unique_ptr<ChildControl>> controls) const;
    /// The form's window is gone.
    void clear();

    /// A combo box's edit field is losing the focus; `leavingForm`: to another window, while the
    /// box could keep it.
    void boxLosing(int box, bool leavingForm);
    /// The box lost the focus: whether the handlers are to hear of it (not when it left the form).
    bool takeLost(int box);
    /// The box got the focus: whether the handlers are to hear of it (not when it comes back).
    bool takeGained(int box);
    /// The boxes other than `box` whose focus went outside the form and never came back; they
    /// count as having lost it from now on.
    std::vector<int> takeAwayExcept(int box);
    /// Forgets that the focus of `box` is away; true when it was.
    bool takeAway(int box);

private:
    static bool remove(std::vector<int>& boxes, int box);

    HWND last_ = nullptr;
    /// Boxes whose focus is on its way out of the form.
    std::vector<int> leaving_;
    /// Boxes whose focus went outside the form while they had it.
    std::vector<int> away_;
};

} // namespace zorvo::ui
