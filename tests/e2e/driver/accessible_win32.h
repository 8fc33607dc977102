// Reading a control as a screen reader does: AccessibleObjectFromWindow(OBJID_CLIENT) from this
// process, so the object crosses from the program to the driver as it would to a reader.
#pragma once

#include <windows.h>

#include <string>

namespace zdrive {

// "ROLE\tSTATE\tNAME\tACTION": role and state in hex, the name and the default action escaped
// (empty when there is none). Throws std::runtime_error when no object can be had.
std::wstring describe_accessible(HWND control);

// Runs the control's default action; answers the HRESULT in hex.
std::wstring do_default_action(HWND control);

} // namespace zdrive
