// zdrive.exe: drives and reads the program's windows for the end-to-end tests.
//
//   zdrive.exe                      commands from standard input, one per line, one answer line
//                                   each (the test library keeps one driver running this way)
//   zdrive.exe CMD ARGS [; CMD ARGS]  the commands given as arguments, separated by ";"
#include <windows.h>

#include <string>
#include <vector>

#include "commands_win32.h"
#include "protocol_win32.h"

namespace {

void write_line(const std::wstring& line) {
    const std::string bytes = zdrive::to_utf8(line) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
              &written, nullptr);
}

// Reads one line of standard input without the C runtime's buffering, so an answer never waits
// for more input than its own command.
bool read_line(std::string& line) {
    line.clear();
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    for (;;) {
        char c = 0;
        DWORD got = 0;
        if (!ReadFile(input, &c, 1, &got, nullptr) || got == 0) {
            return !line.empty();
        }
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return true;
        }
        line += c;
    }
}

int run_arguments(int argc, wchar_t** argv, zdrive::Session& session) {
    int failures = 0;
    std::vector<std::wstring> tokens;
    for (int i = 1; i <= argc; ++i) {
        if (i == argc || std::wstring(argv[i]) == L";") {
            if (!tokens.empty()) {
                const std::wstring answer = zdrive::run_command(tokens, session);
                failures += answer.rfind(L"ok", 0) == 0 ? 0 : 1;
                write_line(answer);
            }
            tokens.clear();
        } else {
            tokens.emplace_back(argv[i]);
        }
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    // Aware of the screen's DPI: a process that is not would see the windows of a high-DPI
    // screen scaled to 96 dpi, in its captures and rectangles.
    SetProcessDPIAware();
    zdrive::Session session;
    if (argc > 1) {
        return run_arguments(argc, argv, session);
    }
    std::string line;
    while (!session.quit && read_line(line)) {
        write_line(zdrive::run_command(zdrive::split_tokens(zdrive::from_utf8(line)), session));
    }
    return 0;
}
