// The yardsticks for the benchmarks: the least a Win32 program with one window can do.
//   (no switch)  one window and its message loop.
//   /timer1ms    also a 1 ms timer whose handler only counts: what the program's 1 ms clock and
//                hot-key timers would cost if they were taken literally.
//   /clock       the honest floor for an idle Zorvo: a focused edit box with its blinking caret
//                and a label that shows the time once a second, nothing else.
//   /caption     with /clock: the window's caption also changes once a second, as it does
//                during a countdown.
//   /dpiaware    declares itself per-monitor DPI aware (v2), as zorvo.exe does in its manifest,
//                so that it draws crisp at any DPI and pays what that costs.
//   /widgets     the floor for Zorvo's start-up: the system's own widgets that its main window
//                shows at once, made in the plainest way — the common controls 6 (themed, as
//                any program of today uses them), a menu bar of two menus, a drop-down combo box
//                and eight labels in the system's font. Nothing of Zorvo's own: no picture, no
//                fonts or icons of its own.
#include <windows.h>

#include <commctrl.h>

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

// The common controls 6 through an activation context made from this program's own manifest
// resource, loaded at run time so that the other modes never load them.
bool load_common_controls(HINSTANCE instance) {
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    context.hModule = instance;
    context.lpResourceName = MAKEINTRESOURCEW(101);
    const HANDLE handle = CreateActCtxW(&context);
    ULONG_PTR cookie = 0; // the context stays active for the program's life
    if (handle == INVALID_HANDLE_VALUE || !ActivateActCtx(handle, &cookie)) {
        return false;
    }
    const HMODULE library = LoadLibraryW(L"comctl32.dll");
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = reinterpret_cast<Init>(
        reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
    if (init == nullptr) {
        return false;
    }
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    return init(&controls) != FALSE;
}

HMENU widgets_menu() {
    HMENU bar = CreateMenu();
    HMENU first = CreatePopupMenu();
    for (const wchar_t* item : {L"&Activate\tCtrl+A", L"&Reset\tAlt+Backspace",
                                L"&Hide/Show\tCtrl+T", L"&Topmost\tCtrl+P", L"E&xit\tCtrl+Q"}) {
        AppendMenuW(first, MF_STRING, 0, item);
    }
    HMENU second = CreatePopupMenu();
    for (const wchar_t* item : {L"&Shut down", L"&Alarm", L"S&tandby", L"&Reboot", L"&Hibernate",
                                L"&Log", L"&Batch file", L"A&bout"}) {
        AppendMenuW(second, MF_STRING, 0, item);
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(first), L"&Menu");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(second), L"&Tasks");
    return bar;
}

void make_widgets(HWND hwnd, HINSTANCE instance) {
    CreateWindowExW(0, WC_COMBOBOXW, L"",
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN |
                        CBS_AUTOHSCROLL,
                    10, 10, 80, 200, hwnd, nullptr, instance, nullptr);
    for (int i = 0; i < 8; ++i) {
        CreateWindowExW(0, WC_STATICW, L"Label", WS_CHILD | WS_VISIBLE, 100, 10 + 20 * i, 120, 18,
                        hwnd, nullptr, instance, nullptr);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show) {
    if (has_switch(command_line, L"/dpiaware")) {
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
    const bool widgets = has_switch(command_line, L"/widgets");
    if (widgets && !load_common_controls(instance)) {
        return 2; // no window: the probe reports the failure
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
    HWND hwnd = CreateWindowExW(0, class_name, L"Baseline",
                                WS_OVERLAPPEDWINDOW | (widgets ? WS_CLIPCHILDREN : 0),
                                CW_USEDEFAULT, CW_USEDEFAULT, 320, 200, nullptr,
                                widgets ? widgets_menu() : nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    if (widgets) {
        make_widgets(hwnd, instance);
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
