#include "ui/dpi_win32.h"

#include <type_traits>

#include "core/dpi_math.h"
#include "core/system_library_win32.h"
#include "core/unique_handle_win32.h"
#include "core/window_dpi.h"

namespace zorvo::ui {

namespace {

template <typename Function> Function user32Function(const char* name) noexcept {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

using SetAwarenessContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
/// shcore's GetDpiForMonitor (Windows 8.1); the second argument is a MONITOR_DPI_TYPE.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI: with the user's scaling

/// The effective DPI of a monitor, or 0 where the system cannot tell it.
UINT dpiOfMonitor(HMONITOR monitor) noexcept {
    static const auto get = systemFunction<std::remove_pointer_t<GetDpiForMonitorFn>>(
        systemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    if (get == nullptr || monitor == nullptr || FAILED(get(monitor, kEffectiveDpi, &x, &y))) {
        return 0;
    }
    return y;
}

class WindowDpiQueries final : public DpiQueries {
public:
    explicit WindowDpiQueries(HWND window) : window_(window) {}
    unsigned windowDpi() override {
        static const auto get = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
        return get != nullptr && window_ != nullptr ? get(window_) : 0;
    }
    unsigned monitorDpi() override {
        return window_ != nullptr
                   ? dpiOfMonitor(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST))
                   : 0;
    }
    unsigned systemDpi() override { return ui::systemDpi(); }

private:
    HWND window_;
};

} // namespace

void enableDpiAwareness() noexcept {
    if (const auto set = user32Function<SetAwarenessContextFn>("SetProcessDpiAwarenessContext")) {
        if (set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) {
            return;
        }
        // Already set by the manifest, or only v1 is known.
        if (GetLastError() == ERROR_ACCESS_DENIED || set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE)) {
            return;
        }
    }
    SetProcessDPIAware();
}

void enableNonClientScaling(HWND window) noexcept {
    // Windows 10 1607 and later. Per-monitor awareness v1 leaves the title and menu bars at the
    // old size on a screen of another DPI unless asked here; under v2, and where the process is
    // not per-monitor aware, the call changes nothing (it fails in the latter case, harmlessly).
    static const auto enable =
        user32Function<EnableNonClientDpiScalingFn>("EnableNonClientDpiScaling");
    if (enable != nullptr) {
        enable(window);
    }
}

UINT systemDpi() noexcept {
    if (const auto get = user32Function<GetDpiForSystemFn>("GetDpiForSystem")) {
        return get();
    }
    const WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : kDefaultDpi;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

UINT dpiForWindow(HWND window) noexcept {
    WindowDpiQueries queries(window);
    return dpiOfWindow(queries);
}

UINT trayDpi() noexcept {
    // The notification area sits on the taskbar of the primary screen.
    const UINT dpi = dpiOfMonitor(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
    return dpi != 0 ? dpi : systemDpi();
}

int systemMetricForDpi(int index, UINT dpi) noexcept {
    static const auto get = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (get) {
        return get(index, dpi);
    }
    return mulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

HICON loadIconForDpi(HINSTANCE instance, int resource, int metric, UINT dpi) noexcept {
    const int size = systemMetricForDpi(metric, dpi);
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, 0));
}

SIZE windowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                         bool hasMenu, UINT dpi) noexcept {
    static const auto adjust =
        user32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, clientWidth, clientHeight};
    if (!adjust || !adjust(&rect, style, hasMenu, exStyle, dpi)) {
        rect = RECT{0, 0, clientWidth, clientHeight};
        AdjustWindowRectEx(&rect, style, hasMenu, exStyle);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace zorvo::ui
