// The form window's place and state on the screen: where it starts, its size at each DPI, and the
// Form calls that show, hide, minimise and restyle it.

#include "ui/child_control_win32.h"
#include "ui/dpi_win32.h"
#include "ui/form_window_win32.h"
#include "ui/menu_win32.h"

namespace zorvo::ui {

namespace {

Box boxOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

/// The monitor a window is on (or nearest to) and its work area; the primary one's for none.
std::pair<Box, Box> monitorOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                    : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && GetMonitorInfoW(monitor, &info)) {
        return {boxOf(info.rcMonitor), boxOf(info.rcWork)};
    }
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT work = screen;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return {boxOf(screen), boxOf(work)};
}

} // namespace

HWND hiddenOwnerWindow() {
    static unique_hwnd owner(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                             nullptr, GetModuleHandleW(nullptr), nullptr));
    return owner.get();
}

DWORD FormWindow::style() const {
    switch (desc_.border) {
    case BorderStyle::FixedSingle:
        return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    case BorderStyle::FixedToolWindow:
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case BorderStyle::None:
        return WS_POPUP | WS_CLIPCHILDREN;
    }
    return WS_OVERLAPPEDWINDOW;
}

DWORD FormWindow::exStyle() const {
    return desc_.border == BorderStyle::FixedToolWindow ? WS_EX_TOOLWINDOW : 0;
}

RECT FormWindow::startRect() const {
    const int clientWidth = toPixels(desc_.clientWidth);
    const int clientHeight = toPixels(desc_.clientHeight);
    const SIZE size = windowSizeForClient(clientWidth, clientHeight, style(), exStyle(),
                                          menuBar_ != nullptr, dpi_);
    std::optional<Box> owner;
    RECT ownerRect{};
    if (options_.owner && IsWindowVisible(options_.owner) &&
        GetWindowRect(options_.owner, &ownerRect)) {
        owner = boxOf(ownerRect);
    }
    // A dialog centred on its owner stays on the owner's screen, kept within that screen; other
    // forms start on the primary screen, or once made, on their own.
    const bool onOwner = owner && options_.startPosition == StartPosition::CentreOwner;
    const auto [monitor, work] = monitorOf(onOwner ? options_.owner : hwnd_);
    const Origin origin =
        startOrigin(options_.startPosition, monitor, work, owner, size.cx, size.cy);
    const auto x = static_cast<int>(origin.x);
    const auto y = static_cast<int>(origin.y);
    return RECT{x, y, x + size.cx, y + size.cy};
}

void FormWindow::placeWindow() {
    const RECT start = startRect();
    const SIZE size{start.right - start.left, start.bottom - start.top};
    SetWindowPos(hwnd_, nullptr, start.left, start.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    correctClientSize(size);
}

void FormWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    background_.rescale(hwnd_, toPixels(desc_.pictureWidth), toPixels(desc_.pictureHeight));
    fonts_.apply(controls_, dpi_);
    for (const auto& control : controls_) {
        control->place();
    }
    RECT window{};
    GetWindowRect(hwnd_, &window);
    correctClientSize(SIZE{window.right - window.left, window.bottom - window.top});
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::correctClientSize(SIZE windowSize) {
    // The menu bar may wrap, and a system may count its frame differently: measure and correct.
    RECT client;
    GetClientRect(hwnd_, &client);
    const int dx = toPixels(desc_.clientWidth) - (client.right - client.left);
    const int dy = toPixels(desc_.clientHeight) - (client.bottom - client.top);
    if (dx != 0 || dy != 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, windowSize.cx + dx, windowSize.cy + dy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

std::wstring FormWindow::caption() const {
    return textOf(hwnd_);
}

void FormWindow::setCaption(const std::wstring& text) {
    if (hwnd_ && text != textOf(hwnd_)) {
        SetWindowTextW(hwnd_, text.c_str());
    }
}

bool FormWindow::visible() const {
    return hwnd_ && IsWindowVisible(hwnd_);
}

void FormWindow::setVisible(bool on) {
    if (!hwnd_) {
        return;
    }
    if (!on) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    if (IsWindowVisible(hwnd_)) {
        return;
    }
    int command = SW_SHOW;
    if (pendingState_) {
        pendingState_ = false;
        if (pendingStateValue_ == WindowState::Minimized) {
            command = SW_SHOWMINNOACTIVE;
        } else if (IsIconic(hwnd_)) {
            command = SW_RESTORE;
        }
    }
    ShowWindow(hwnd_, command);
}

void FormWindow::setWindowState(WindowState state) {
    if (!hwnd_) {
        return;
    }
    if (!IsWindowVisible(hwnd_)) {
        // Showing a hidden window is not this call's business; the state waits for the showing.
        pendingState_ = true;
        pendingStateValue_ = state;
        return;
    }
    const bool minimized = IsIconic(hwnd_) != FALSE;
    if (state == WindowState::Minimized && !minimized) {
        ShowWindow(hwnd_, SW_MINIMIZE);
    } else if (state == WindowState::Normal && (minimized || IsZoomed(hwnd_))) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
}

void FormWindow::show() {
    if (!hwnd_) {
        return;
    }
    setVisible(true);
    SetForegroundWindow(hwnd_);
}

void FormWindow::setShowInTaskbar(bool on) {
    if (!hwnd_) {
        return;
    }
    // A window owned by another never has a taskbar button; the shell notices the change only
    // while the window is hidden.
    const HWND owner = on ? options_.owner : hiddenOwnerWindow();
    if (reinterpret_cast<HWND>(GetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT)) == owner) {
        return;
    }
    const bool shown = IsWindowVisible(hwnd_) != FALSE;
    if (shown) {
        ShowWindow(hwnd_, SW_HIDE);
    }
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    if (shown) {
        ShowWindow(hwnd_, SW_SHOWNA);
    }
}

void FormWindow::setTopMost(bool on) {
    if (hwnd_) {
        SetWindowPos(hwnd_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void FormWindow::beginDrag() {
    if (hwnd_) {
        ReleaseCapture();
        SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
}

void FormWindow::close() {
    if (hwnd_) {
        SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
}

} // namespace zorvo::ui
