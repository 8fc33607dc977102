#pragma once
// DPI queries that exist only on newer Windows, looked up at run time so the program still starts
// where they are missing (it then falls back to the monitor's DPI, and on Windows 7 to the
// system's).

#include <windows.h>

namespace zorvo::ui {

/// Per-monitor (v2) awareness where the system has it, else system awareness.
void enableDpiAwareness() noexcept;

/// At WM_NCCREATE of a top-level window: its title and menu bars follow a change of DPI also
/// under per-monitor awareness v1 (Windows 10 1607 to 1703).
void enableNonClientScaling(HWND window) noexcept;

/// The DPI the window is drawn at.
UINT dpiForWindow(HWND window) noexcept;

/// The DPI of the notification area's screen, for the icon shown there.
UINT trayDpi() noexcept;

/// The DPI of the primary screen.
UINT systemDpi() noexcept;

int systemMetricForDpi(int index, UINT dpi) noexcept;

/// The program's icon resource at the size `metric` (SM_CXICON, SM_CXSMICON) has at `dpi`, or
/// null when it cannot be loaded.
HICON loadIconForDpi(HINSTANCE instance, int resource, int metric, UINT dpi) noexcept;

/// Outer size of a window whose client area is `clientWidth` x `clientHeight` pixels.
SIZE windowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle,
                         bool hasMenu, UINT dpi) noexcept;

} // namespace zorvo::ui
