// zbench: the benchmarks' probe, run inside the same Wine prefix as the program it measures.
// It starts the program with CreateProcess, so start-up is timed from the moment Windows is
// asked for the process, and it reads the figures Windows keeps for the process.
//
//   zbench startup CLASS EXE [ARGS...]
//       "visible_ms MS": from CreateProcess to a visible top-level window of the class owned by
//       the new process; then the window is closed.
//   zbench watch CLASS EXE [ARGS...]
//       "visible_ms MS pid PID", then one answer per line read from stdin:
//       "times" -> "times USER_MS KERNEL_MS" (GetProcessTimes),
//       "memory" -> "memory PEAK_WORKING_SET WORKING_SET" (bytes, GetProcessMemoryInfo),
//       "quit" -> closes the window and ends.
//   zbench alarm EXE [ARGS...]
//       zorvo.exe: picks the alarm (menu command 2012), clicks "Активировать" (control 1008)
//       and times, from the click, the first countdown tick (caption change), the countdown's
//       zero (the caption reads "0 мин 00 сек": the task starts, the melody begins), the main
//       window going away (the melody has played) and the end of the process:
//       "click_width_ms MS", "first_tick_ms MS", "zero_ms MS", "gone_ms MS", "exit_ms MS".
// Every time is measured on QueryPerformanceCounter; polling is every millisecond.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace {

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }
    HANDLE get() const { return h_; }

private:
    void reset() {
        if (h_ != nullptr) {
            CloseHandle(h_);
            h_ = nullptr;
        }
    }
    HANDLE h_ = nullptr;
};

double now_ms() {
    static const double ticks_per_ms = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / ticks_per_ms;
}

std::wstring quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
        return arg;
    }
    std::wstring out = L"\"";
    for (const wchar_t c : arg) {
        if (c == L'"') {
            out += L'\\';
        }
        out += c;
    }
    return out + L"\"";
}

struct Child {
    Handle process;
    DWORD pid = 0;
};

// Starts EXE with ARGS from its own folder; `started_ms` is the moment just before the call.
bool start(int argc, wchar_t** argv, int first, Child& child, double& started_ms) {
    std::wstring command;
    for (int i = first; i < argc; ++i) {
        command += (command.empty() ? L"" : L" ") + quoted(argv[i]);
    }
    std::wstring folder = argv[first];
    const size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash + 1);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    started_ms = now_ms();
    if (!CreateProcessW(argv[first], command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi)) {
        std::printf("error CreateProcess %lu\n", GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);
    child.process = Handle(pi.hProcess);
    child.pid = pi.dwProcessId;
    return true;
}

struct Search {
    const wchar_t* cls;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK match_top(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t name[64] = {};
    if (pid == s->pid && IsWindowVisible(hwnd) && GetClassNameW(hwnd, name, 64) > 0 &&
        std::wcscmp(name, s->cls) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool exited(const Child& child) {
    return WaitForSingleObject(child.process.get(), 0) == WAIT_OBJECT_0;
}

// Polls every millisecond for the child's visible window of the class.
HWND wait_visible(const wchar_t* cls, const Child& child, DWORD timeout_ms) {
    const double deadline = now_ms() + timeout_ms;
    while (now_ms() < deadline && !exited(child)) {
        Search s{cls, child.pid, nullptr};
        EnumWindows(match_top, reinterpret_cast<LPARAM>(&s));
        if (s.found != nullptr) {
            return s.found;
        }
        Sleep(1);
    }
    return nullptr;
}

void end(const Child& child, HWND window) {
    if (window != nullptr && IsWindow(window)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(child.process.get(), 5000) != WAIT_OBJECT_0) {
        TerminateProcess(child.process.get(), 1);
        WaitForSingleObject(child.process.get(), 5000);
    }
}

double filetime_ms(const FILETIME& t) {
    const ULONGLONG v = (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return static_cast<double>(v) / 10000.0;
}

int run_startup(int argc, wchar_t** argv) {
    Child child;
    double started = 0;
    if (!start(argc, argv, 3, child, started)) {
        return 1;
    }
    HWND window = wait_visible(argv[2], child, 30000);
    const double visible = now_ms();
    if (window == nullptr) {
        std::printf("error no visible window\n");
        end(child, nullptr);
        return 1;
    }
    std::printf("visible_ms %.3f\n", visible - started);
    std::fflush(stdout);
    end(child, window);
    return 0;
}

int run_watch(int argc, wchar_t** argv) {
    Child child;
    double started = 0;
    if (!start(argc, argv, 3, child, started)) {
        return 1;
    }
    HWND window = wait_visible(argv[2], child, 30000);
    if (window == nullptr) {
        std::printf("error no visible window\n");
        std::fflush(stdout);
        end(child, nullptr);
        return 1;
    }
    std::printf("visible_ms %.3f pid %lu\n", now_ms() - started, child.pid);
    std::fflush(stdout);
    char line[64];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        if (std::strncmp(line, "times", 5) == 0) {
            FILETIME created{}, ended{}, kernel{}, user{};
            GetProcessTimes(child.process.get(), &created, &ended, &kernel, &user);
            std::printf("times %.3f %.3f\n", filetime_ms(user), filetime_ms(kernel));
        } else if (std::strncmp(line, "memory", 6) == 0) {
            PROCESS_MEMORY_COUNTERS pmc{};
            pmc.cb = sizeof pmc;
            GetProcessMemoryInfo(child.process.get(), &pmc, sizeof pmc);
            std::printf("memory %llu %llu\n",
                        static_cast<unsigned long long>(pmc.PeakWorkingSetSize),
                        static_cast<unsigned long long>(pmc.WorkingSetSize));
        } else if (std::strncmp(line, "quit", 4) == 0) {
            break;
        } else {
            std::printf("error unknown command\n");
        }
        std::fflush(stdout);
    }
    end(child, window);
    std::printf("ok\n");
    std::fflush(stdout);
    return 0;
}

BOOL CALLBACK match_control(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (static_cast<DWORD>(GetDlgCtrlID(hwnd)) == s->pid) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

std::wstring caption_of(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

int run_alarm(int argc, wchar_t** argv) {
    constexpr WPARAM mnuAlarm = 2012;
    constexpr DWORD lblActivate = 1008;
    Child child;
    double started = 0;
    if (!start(argc, argv, 2, child, started)) {
        return 1;
    }
    HWND main = wait_visible(L"frmMain", child, 30000);
    Search s{L"", lblActivate, nullptr};
    if (main != nullptr) {
        EnumChildWindows(main, match_control, reinterpret_cast<LPARAM>(&s));
    }
    if (s.found == nullptr || !send(main, WM_COMMAND, mnuAlarm, 0)) {
        std::printf("error no main window or no lblActivate\n");
        end(child, main);
        return 1;
    }
    const std::wstring idle_caption = caption_of(main);
    RECT r{};
    GetClientRect(s.found, &r);
    const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    // The label acts on the button's release: the countdown starts while that message is
    // handled, so the send of the release brackets the moment of activation.
    const bool pressed = send(s.found, WM_LBUTTONDOWN, MK_LBUTTON, at);
    const double before = now_ms();
    const bool clicked = pressed && send(s.found, WM_LBUTTONUP, 0, at);
    const double after = now_ms();
    if (!clicked) {
        std::printf("error the click was not answered\n");
        end(child, main);
        return 1;
    }
    const double click = (before + after) / 2;
    std::printf("click_width_ms %.3f\n", after - before);
    double first_tick = -1;
    double zero = -1;
    double gone = -1;
    const double deadline = click + 180000;
    while (now_ms() < deadline) {
        const bool alive = IsWindow(main) != FALSE;
        const double t = now_ms();
        if (!alive) {
            gone = t;
            break;
        }
        const std::wstring caption = caption_of(main);
        if (first_tick < 0 && caption != idle_caption) {
            first_tick = t;
        }
        // The last tick writes the zero and starts the task in the same handler.
        const std::wstring zeroText = L" 0 мин 00 сек";
        if (zero < 0 && caption.size() > zeroText.size() &&
            caption.compare(caption.size() - zeroText.size(), zeroText.size(), zeroText) == 0) {
            zero = t;
        }
        Sleep(1);
    }
    if (gone < 0 || zero < 0) {
        std::printf("error %s\n", gone < 0 ? "the main window is still there"
                                           : "the countdown's zero was never shown");
        end(child, main);
        return 1;
    }
    WaitForSingleObject(child.process.get(), 10000);
    const double exit_time = now_ms();
    std::printf("first_tick_ms %.3f\nzero_ms %.3f\ngone_ms %.3f\nexit_ms %.3f\n",
                first_tick - click, zero - click, gone - click, exit_time - click);
    std::fflush(stdout);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"startup" && argc > 3) {
        return run_startup(argc, argv);
    }
    if (mode == L"watch" && argc > 3) {
        return run_watch(argc, argv);
    }
    if (mode == L"alarm" && argc > 2) {
        return run_alarm(argc, argv);
    }
    std::printf("usage: zbench startup|watch CLASS EXE [ARGS...] | zbench alarm EXE [ARGS...]\n");
    return 2;
}
