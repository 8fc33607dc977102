// Random editing of a minutes box as fast as the program takes it. Each edit is one WM_CHAR or
// EM_SETSEL sent to the box's Edit child; a warning box that an edit brings up is answered with
// OK before the next edit, as a user would. One line per edit goes to a trace file:
//   EDIT <TAB> TEXT AFTER IT <TAB> BOXES IT BROUGHT <TAB> MOST BOXES OPEN AT ONCE [<TAB> BOX
//   TEXT]...
// with the fields escaped as answer values are.
#pragma once

#include <windows.h>

#include <string>

namespace zdrive {

struct FuzzResult {
    int edits = 0;     // edits carried out
    int boxes = 0;     // warning boxes answered
    int most_open = 0; // most of the program's message boxes seen open at one moment
    std::wstring error;
};

FuzzResult fuzz_minutes(HWND edit, int count, unsigned seed, const std::wstring& trace_path);

} // namespace zdrive
