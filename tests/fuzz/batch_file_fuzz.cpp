// The batch file for any program path the system could report, any action, delay and window
// switch, with or without a short form of the path. Properties: exactly two lines, each ending in
// CR LF and holding no other control character; the second is "echo exit"; in the first, cmd.exe
// finds no special character or token delimiter outside quotes within the path, every "%" is
// doubled, and the path is the program's (or its short form) followed by exactly the switches.

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "batch/batch_file.h"
#include "fuzz_input.h"
#include "table_encoder.h"

namespace {

using zorvo::fuzz::require;

/// Characters no Windows file name holds (the system never reports a path with them).
bool possiblePath(const std::wstring& path) {
    return !path.empty() && std::ranges::none_of(path, [](wchar_t c) {
        return c < 0x20 || std::wstring_view(L"\"<>|*?/").find(c) != std::wstring_view::npos;
    });
}

/// What cmd.exe acts on outside quotes: operators, escapes, grouping and token delimiters (byte
/// 0xFF, the no-break space of the OEM code pages, is one of them).
bool specialToCmd(char c) {
    return std::string_view("&|<>^()\" \t,;=!").find(c) != std::string_view::npos ||
           static_cast<unsigned char>(c) == 0xFF;
}

/// Undoes the doubling of "%"; nothing when a "%" stands alone.
std::optional<std::string> undoubled(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%') {
            if (i + 1 == text.size() || text[i + 1] != '%') {
                return std::nullopt;
            }
            ++i;
        }
    }
    return out;
}

void checkBytes(const std::string& bytes, const std::string& encodedArguments,
                const std::vector<std::optional<std::string>>& encodedPaths) {
    const std::size_t firstEnd = bytes.find("\r\n");
    require(firstEnd != std::string::npos, "the first line ends in CR LF");
    const std::string_view first(bytes.data(), firstEnd);
    const std::string_view rest = std::string_view(bytes).substr(firstEnd + 2);
    require(rest == "echo exit\r\n", "exactly two lines, the second is echo exit");
    require(
        std::ranges::none_of(first, [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
        "no control character in the line");

    constexpr std::string_view start = "start ";
    constexpr std::string_view titled = "start \"\" \"";
    std::string_view path;
    std::string_view after;
    if (first.substr(0, titled.size()) == titled) {
        const std::size_t close = first.find('"', titled.size());
        require(close != std::string_view::npos, "the quoted path is closed");
        path = first.substr(titled.size(), close - titled.size());
        after = first.substr(close + 1);
    } else {
        require(first.substr(0, start.size()) == start, "the line starts the program");
        const std::size_t end = first.find(' ', start.size());
        require(end != std::string_view::npos, "the path ends in a blank");
        path = first.substr(start.size(), end - start.size());
        after = first.substr(end);
        require(std::ranges::none_of(path, specialToCmd),
                "no unquoted special character in the path");
    }
    require(after == encodedArguments, "exactly the switches follow the path");
    const std::optional<std::string> plainPath = undoubled(path);
    require(plainPath.has_value(), "every % is doubled");
    require(std::ranges::count(encodedPaths, plainPath) > 0,
            "the path is the program's or its short form");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    static const zorvo::text::TableEncoder oem(zorvo::text::CodePage::Oem866);
    static const wchar_t* const kWindowSwitches[] = {L"", L"/min", L"/hid"};

    zorvo::BatchRequest request;
    request.action = &zorvo::kTasks.at(data[0] % zorvo::kTasks.size());
    request.windowSwitch = kWindowSwitches[data[1] % 3];
    request.minutes = std::to_wstring(1 + (data[2] | data[3] << 8) % 360);

    // The rest: folder, file name and the short form of the whole path, split at line feeds.
    std::wstring pieces[3];
    std::size_t piece = 0;
    for (const wchar_t c : zorvo::fuzz::utf16Text(data + 4, size - 4)) {
        if (c == L'\n' && piece < 2) {
            ++piece;
        } else {
            pieces[piece] += c;
        }
    }
    request.programFolder = pieces[0] + L"\\";
    request.exeName = pieces[1];
    if (!possiblePath(request.programFolder) || !possiblePath(request.exeName) ||
        request.exeName.find(L'\\') != std::wstring::npos) {
        return 0;
    }
    const std::wstring exePath = request.programFolder + request.exeName + L".exe";
    const std::optional<std::wstring> shortForm =
        piece == 2 && possiblePath(pieces[2]) ? std::optional(pieces[2]) : std::nullopt;
    int shortPathCalls = 0;
    const auto shortPath = [&](const std::wstring& path) {
        ++shortPathCalls;
        require(path == exePath, "the short form is asked for the program's path");
        return shortForm;
    };

    const zorvo::BatchFile file = zorvo::batchFileBytes(request, oem, shortPath);
    // A path start can run: one the OEM code page holds, no longer than MAX_PATH allows.
    const auto runnable = [&](const std::wstring& path) -> std::optional<std::string> {
        return path.size() > zorvo::kMaxPathLength ? std::nullopt : oem.encodeExact(path);
    };
    std::vector<std::optional<std::string>> encodedPaths{runnable(exePath)};
    if (shortForm) {
        encodedPaths.push_back(runnable(*shortForm));
    }
    require(file.bytes.has_value() ==
                std::ranges::any_of(encodedPaths, [](const auto& p) { return p.has_value(); }),
            "written exactly when a path can be run");
    require(shortPathCalls <= 1, "the short form is asked for once at most");
    if (!file.bytes) {
        require(!file.error.empty(), "a refusal says why");
        return 0;
    }
    const std::string encodedArguments =
        *oem.encodeExact(std::wstring(L" ") + request.action->taskSwitch + L" " + request.minutes +
                         L" " + request.windowSwitch);
    checkBytes(*file.bytes, encodedArguments, encodedPaths);
    return 0;
}
