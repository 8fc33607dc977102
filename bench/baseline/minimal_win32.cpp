// The yardstick for the benchmarks: the least a Win32 program with one window can do. With
// /timer1ms it also runs a 1 ms timer whose handler only counts, which is what the program's
// 1 ms clock and hot-key timers would cost if they were taken literally. With /dlls it first
// loads the system libraries that zorvo.exe imports beyond user32, to tell how much of the
// program's start-up is spent loading them.
#include <windows.h>

#include <cwchar>
#include <initializer_list>

namespace {

constexpr wchar_t class_name[] = L"ZorvoBaseline";
constexpr UINT_PTR timer_id = 1;
volatile unsigned long long ticks = 0;

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_TIMER:
        ticks = ticks + 1;
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
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
