// zdrive.exe: drives and reads the program's windows for the end-to-end tests.
//
// It reads commands from standard input, one per line, and answers each with one line, until the
// input ends; the test library keeps one driver running.
#include <windows.h>

#include <array>
#include <cwchar>
#include <string>
#include <vector>

#include "driver_win32.h"
#include "text/utf8.h"

namespace zdrive {

std::vector<std::wstring> split_tokens(std::wstring_view line) {
    std::vector<std::wstring> tokens(1);
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == L' ') {
            tokens.emplace_back();
        } else if (line[i] != L'\\' || i + 1 == line.size()) {
            tokens.back() += line[i];
        } else if (line[++i] == L's') {
            tokens.back() += L' ';
        } else if (line[i] == L'u' && i + 4 < line.size()) {
            tokens.back() += static_cast<wchar_t>(
                std::wcstoul(std::wstring(line.substr(i + 1, 4)).c_str(), nullptr, 16));
            i += 4;
        } else {
            tokens.back() += line[i];
        }
    }
    std::erase_if(tokens, [](const std::wstring& token) { return token.empty(); });
    return tokens;
}

std::wstring escape_value(std::wstring_view text) {
    std::wstring result;
    for (const wchar_t c : text) {
        result += c == L'\\'   ? L"\\\\"
                  : c == L'\r' ? L"\\r"
                  : c == L'\n' ? L"\\n"
                  : c == L'\t' ? L"\\t"
                               : std::wstring(1, c);
    }
    return result;
}

std::wstring hex(unsigned long long value) {
    std::array<wchar_t, 32> buffer{};
    std::swprintf(buffer.data(), buffer.size(), L"0x%llX", value);
    return buffer.data();
}

} // namespace zdrive

namespace {

void write_line(const std::wstring& line) {
    const std::string bytes = zorvo::text::toUtf8(line) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

// Reads one line of standard input (without CR) and not through the C runtime's buffering, so an
// answer never waits for more input than its own command; false once the input has ended.
bool read_line(std::string& line) {
    line.clear();
    char c = 0;
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got == 1) {
        if (c == '\n') {
            return true;
        }
        line += c == '\r' ? "" : std::string(1, c);
    }
    return !line.empty();
}

} // namespace

int wmain() {
    // Aware of the screen's DPI: a process that is not would see the windows of a high-DPI
    // screen scaled to 96 dpi, in its captures and rectangles.
    SetProcessDPIAware();
    zdrive::Session session;
    std::string line;
    while (read_line(line)) {
        // ASCII, by the protocol.
        const std::wstring wide(line.begin(), line.end());
        write_line(zdrive::run_command(zdrive::split_tokens(wide), session));
    }
    return 0;
}
