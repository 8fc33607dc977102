// The driver's commands. Each takes the tokens of one command line and returns one answer line:
// "ok[ VALUE]", "timeout", "none" or "error MESSAGE".
#pragma once

#include <string>
#include <vector>

#include "handles_win32.h"
#include "menu_probe_win32.h"

namespace zdrive {

struct Session {
    MenuProbe probe;
    kernel_handle held_file; // hold-file
    bool quit = false;
};

std::wstring run_command(const std::vector<std::wstring>& tokens, Session& session);

} // namespace zdrive
