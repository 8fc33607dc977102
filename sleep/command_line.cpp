#include "sleep/command_line.h"

#include <array>
#include <optional>

#include "core/power_library.h"
#include "core/tasks.h"

namespace zorvo {
namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

/// The program name: quotes group and vanish, backslashes are plain characters (a path may end
/// in one), and the first blank or tab outside quotes ends it.
std::size_t readProgramName(std::wstring_view line, std::wstring& name) {
    bool quoted = false;
    std::size_t i = 0;
    for (; i < line.size(); ++i) {
        const wchar_t c = line[i];
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && isBlank(c)) {
            break;
        } else {
            name += c;
        }
    }
    return i;
}

/// One later argument, starting at a character that is not a blank. 2n backslashes before a
/// quote give n backslashes and the quote opens or closes a quoted part; 2n + 1 give n
/// backslashes and a literal quote; inside a quoted part "" gives a literal quote and the part
/// goes on. Backslashes not followed by a quote are plain characters.
std::size_t readArgument(std::wstring_view line, std::size_t i, std::wstring& argument) {
    bool quoted = false;
    while (i < line.size()) {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == L'\\') {
            ++backslashes;
            ++i;
        }
        if (i < line.size() && line[i] == L'"') {
            argument.append(backslashes / 2, L'\\');
            if (backslashes % 2 == 1) {
                argument += L'"';
            } else if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                argument += L'"';
                ++i;
            } else {
                quoted = !quoted;
            }
            ++i;
            continue;
        }
        argument.append(backslashes, L'\\');
        if (i == line.size() || (!quoted && isBlank(line[i]))) {
            break;
        }
        argument += line[i];
        ++i;
    }
    return i;
}

bool equalsIgnoringCase(std::wstring_view text, std::wstring_view lowerCaseSwitch) {
    if (text.size() != lowerCaseSwitch.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
        if (c != lowerCaseSwitch[i]) {
            return false;
        }
    }
    return true;
}

struct Switch {
    const wchar_t* text;
    std::int32_t code;
};

constexpr std::array<Switch, 3> kViewSwitches{{
    {L"/min", kViewMinimized},
    {L"/hid", kViewTray},
    {L"/invisible", kViewHidden},
}};

/// The code of the entry of `table` whose switch (its member `text`) is `argument`.
template <typename Table, typename Entry>
std::optional<std::int32_t> codeOf(const Table& table, const wchar_t* Entry::*text,
                                   std::wstring_view argument) {
    for (const Entry& entry : table) {
        if (equalsIgnoringCase(argument, entry.*text)) {
            return entry.code;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> taskCodeOf(std::wstring_view argument) {
    return codeOf(kTasks, &Task::taskSwitch, argument);
}

std::optional<std::int32_t> viewCodeOf(std::wstring_view argument) {
    return codeOf(kViewSwitches, &Switch::text, argument);
}

bool isSwitch(std::wstring_view argument) {
    return taskCodeOf(argument) || viewCodeOf(argument);
}

/// A plain decimal whole number of minutes from 1 to 360, or 0 for anything else.
std::int32_t delayFrom(std::wstring_view text) {
    if (text.empty()) {
        return 0;
    }
    std::int32_t value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return 0;
        }
        value = value * 10 + (c - L'0');
        if (value > kMaxDelayMinutes) {
            return 0;
        }
    }
    return value;
}

} // namespace

std::vector<std::wstring> splitCommandLine(std::wstring_view commandLine) {
    std::vector<std::wstring> arguments(1);
    std::size_t i = readProgramName(commandLine, arguments.front());
    for (;;) {
        while (i < commandLine.size() && isBlank(commandLine[i])) {
            ++i;
        }
        if (i == commandLine.size()) {
            return arguments;
        }
        i = readArgument(commandLine, i, arguments.emplace_back());
    }
}

CommandLineRequest parseCommandLine(std::wstring_view fullCommandLine) {
    const std::vector<std::wstring> arguments = splitCommandLine(fullCommandLine);
    CommandLineRequest request{1, kTaskNone, kViewNormal};
    bool taskSeen = false;
    bool viewSeen = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (!taskSeen) {
            if (const auto task = taskCodeOf(arguments[i])) {
                taskSeen = true;
                request.task = *task;
                if (i + 1 < arguments.size() && !isSwitch(arguments[i + 1])) {
                    request.delay = delayFrom(arguments[i + 1]);
                }
                continue;
            }
        }
        if (!viewSeen) {
            if (const auto view = viewCodeOf(arguments[i])) {
                viewSeen = true;
                request.view = *view;
            }
        }
    }
    return request;
}

} // namespace zorvo
