#pragma once
// The command line as sleep.dll understands it. Portable: the library passes in the text that the
// system gives it, so the rules can be tested without Windows.
//
// Grammar (the program name is skipped, switches are case-insensitive):
//   task switch   /v = 3 shutdown, /w = 4 standby, /r = 5 reboot, /s = 7 hibernation,
//                 /a = 8 alarm; the first one on the line counts; none gives 1.
//   delay         the argument right after the task switch: a plain decimal whole number (ASCII
//                 digits only, no sign) from 1 to 360 gives its value; anything else (malformed,
//                 0, past 360) gives 0. No argument after the task switch, or a switch there, or
//                 no task switch at all gives 1.
//   window mode   /min = 2 minimised, /hid = 3 hidden in the notification area,
//                 /invisible = 4 fully hidden; the first one on the line counts; none gives 1.
// Every other argument is ignored.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zorvo {

/// The longest delay a command line may ask for, in minutes.
inline constexpr std::int32_t kMaxDelayMinutes = 360;

/// Splits a command line as the Microsoft C runtime builds argv: the first element is the
/// program name, which ends at the first blank or tab outside quotes and takes backslashes
/// literally; later arguments follow the backslash-and-quote rules, and a doubled quote inside
/// quotes is a literal quote that keeps the quoted part open (CommandLineToArgvW would close
/// it). There is always a first element.
std::vector<std::wstring> splitCommandLine(std::wstring_view commandLine);

struct CommandLineRequest {
    std::int32_t delay;
    std::int32_t task;
    std::int32_t view;

    bool operator==(const CommandLineRequest&) const = default;
};

/// Reads the delay, the task code and the window-mode code from a whole command line, program
/// name included.
CommandLineRequest parseCommandLine(std::wstring_view fullCommandLine);

} // namespace zorvo
