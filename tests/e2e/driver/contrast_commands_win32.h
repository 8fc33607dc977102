// The driver's commands for the high-contrast tests: switching it inside the program (through the
// probe), telling the program's windows that a setting changed, and reading the colours drawn.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "commands_win32.h"

namespace zdrive {

// The answer to one of these commands, or nothing when the command is none of them.
std::optional<std::wstring> run_contrast_command(const std::vector<std::wstring>& tokens,
                                                 Session& session);

} // namespace zdrive
