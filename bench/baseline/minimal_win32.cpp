// The yardsticks for the benchmarks: the least a Win32 program with one window can do.
//   (no switch)  one window and its message loop.
//   /timer1ms    also a 1 ms timer whose handler only counts: what the program's 1 ms clock and
//                hot-key timers would cost if they were taken literally.
//   /dlls        first loads the system libraries that zorvo.exe imports beyond user32, to tell
//                how much of the program's start-up is spent loading them.
//   /clock       the honest floor for an idle Zorvo: a focused edit box with its blinking caret
//                and a label that shows the time once a second, nothing else.
//   /caption     with /clock: the window's caption also changes once a second, as it does
//                during a countdown.
//   /dpiaware    declares itself per-monitor DPI aware (v2), as zorvo.exe does in its manifest,
//                so that it draws crisp at any DPI and pays what that costs.
#include <windows.h>

#include <cwchar>
#include <initializer_list>
#include <string>

namespace {

constexpr wchar_t class_name[] = L"ZorvoBaseline";
constexpr UINT_PTR timer_id = 1;
constexpr UINT_PTR clock_id = 2;
constexpr int label_id = 101;
volatile unsigned long long ticks = 0;
bool caption_ticks = false;
int seconds_left = 6 * 3600;

void show_time(HWND hwnd) {
    wchar_t text[64] = {};
    GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, text, 64);
    SetDlgItemTextW(hwnd, label_id, text);
    if (caption_ticks) {
        --seconds_left;
        const std::wstring caption = L"Baseline: " + std::to_wstring(seconds_left / 60) + L" min " +
                                     std::to_wstring(seconds_left % 60) + L" s";
        SetWindowTextW(hwnd, caption.c_str());
    }
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_TIMER:
        if (wparam == clock_id) {
            show_time(hwnd);
        } else {
            ticks = ticks + 1;
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

bool has_switch(const wchar_t* command_line, const wchar_t* name) {
    return command_line != nullptr && std::wcsstr(command_line, name) != nullptr;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show) {
    if (has_switch(command_line, L"/dpiaware")) {
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
    if (has_switch(command_line, L"/dlls")) {
        for (const wchar_t* name :
             {L"gdi32.dll", L"comctl32.dll", L"ole32.dll", L"oleaut32.dll", L"shell32.dll"}) {
            LoadLibraryW(name);
        }
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = class_name;
    if (RegisterClassExW(&wc) == 0) {
        return 1;
    }
    HWND hwnd = CreateWindowExW(0, class_name, L"Baseline", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    if (has_switch(command_line, L"/timer1ms")) {
        SetTimer(hwnd, timer_id, 1, nullptr);
    }
    HWND edit = nullptr;
    if (has_switch(command_line, L"/clock")) {
        caption_ticks = has_switch(command_line, L"/caption");
        edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"1", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                               10, 10, 60, 22, hwnd, nullptr, instance, nullptr);
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 40, 120, 20, hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(label_id)), instance, nullptr);
        show_time(hwnd);
        SetTimer(hwnd, clock_id, 1000, nullptr);
    }
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    if (edit != nullptr) {
        SetFocus(edit);
    }

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
