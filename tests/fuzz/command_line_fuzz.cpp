// The command-line parser of sleep.dll on arbitrary UTF-16 text. Properties: splitting always
// gives the program name; quoting the arguments again and splitting that gives them back; the
// parse is deterministic and its codes are the documented ones; a delay other than the defaults
// is the decimal argument right after a task switch.

#include <algorithm>
#include <array>

#include "core/power_library.h"
#include "fuzz_input.h"
#include "sleep/command_line.h"

namespace {

using zorvo::fuzz::require;

/// Writes one argument so that the runtime's rules read it back unchanged.
std::wstring quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring line = zorvo::fuzz::utf16Text(data, size);

    const std::vector<std::wstring> arguments = zorvo::splitCommandLine(line);
    require(!arguments.empty(), "there is always a program name");
    require(arguments.front().find(L'"') == std::wstring::npos,
            "quotes in the program name group and vanish");
    require(zorvo::splitCommandLine(line) == arguments, "splitting is deterministic");

    std::wstring again = L"\"" + arguments.front() + L"\"";
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        again += L" " + quoted(arguments[i]);
    }
    require(zorvo::splitCommandLine(again) == arguments, "quoted arguments split back");

    const zorvo::CommandLineRequest request = zorvo::parseCommandLine(line);
    require(zorvo::parseCommandLine(line) == request, "parsing is deterministic");
    require(zorvo::parseCommandLine(again) == request, "the same arguments, the same request");
    using namespace zorvo;
    require(std::ranges::count(std::array{kTaskNone, kTaskShutdown, kTaskStandby, kTaskReboot,
                                          kTaskHibernate, kTaskAlarm},
                               request.task) == 1,
            "task code");
    require(std::ranges::count(std::array{kViewNormal, kViewMinimized, kViewTray, kViewHidden},
                               request.view) == 1,
            "window-mode code");
    require(request.delay >= 0, "delay is never negative");
    require(request.task != zorvo::kTaskNone || request.delay == 1, "no task, delay 1");
    if (request.delay != 0 && request.delay != 1) {
        const std::wstring digits = std::to_wstring(request.delay);
        require(std::any_of(arguments.begin() + 1, arguments.end(),
                            [&](const std::wstring& a) {
                                const std::size_t zeros = a.find_first_not_of(L'0');
                                return zeros != std::wstring::npos && a.substr(zeros) == digits;
                            }),
                "a delay comes from a decimal argument");
    }
    return 0;
}
