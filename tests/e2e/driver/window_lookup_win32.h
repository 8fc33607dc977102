// Finding the program's windows the way an automation script does: top-level windows by class
// (and caption), controls by ID.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zdrive {

struct TopWindow {
    HWND hwnd = nullptr;
    DWORD pid = 0;
    bool visible = false;
};

// Every top-level window of the class, optionally with the given caption.
std::vector<TopWindow> top_windows(const std::wstring& cls, const std::wstring* caption = nullptr);

// The window a test means by "CLASS" or "CLASS@PID" (only that process's windows): a visible one if
// there is any, otherwise (when `allow_hidden`) a hidden one; among several, the one of the
// earliest started process, since a second copy of the program briefly owns a hidden window of
// the same class.
HWND find_top(const std::wstring& spec, bool allow_hidden, const std::wstring* caption = nullptr);

// The control with the ID anywhere below the window; ID 0 is the window itself.
HWND find_control(HWND top, int id);

// The Edit child that receives typing for a combo box (or the control itself when it is an Edit).
HWND edit_of(HWND control);

std::wstring class_of(HWND hwnd);

} // namespace zdrive
