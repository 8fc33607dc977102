#include "ui/form_window_win32.h"

#include <windows.h>

#include <commctrl.h>

#include <stdexcept>

#include "core/dpi_math.h"
#include "ui/combo_box_win32.h"
#include "ui/dpi_win32.h"
#include "ui/guard_win32.h"
#include "ui/label_win32.h"
#include "ui/menu_win32.h"
#include "ui/message_loop_win32.h"
#include "ui/simple_controls_win32.h"
#include "ui/system_palette_win32.h"
#include "ui/timer_win32.h"

namespace zorvo::ui {

namespace {
/// Posted to the form itself: the combo boxes' lists may redraw again (see
/// ComboBoxWin32::addItem). Far above the WM_APP numbers the forms' bindings use.
constexpr UINT kEndListBatches = WM_APP + 0x3E0;
/// Posted to the form by its first paint: what nobody sees before then is made now.
constexpr UINT kFirstPainted = WM_APP + 0x3E1;
} // namespace

FormWindow::FormWindow(const FormDesc& desc, FormEvents& events, const FormOptions& options)
    : desc_(desc), events_(&events), options_(options) {
    if (!options_.instance) {
        options_.instance = GetModuleHandleW(nullptr);
    }
    palette_ = readSystemPalette();
    if (!desc_.showInTaskbar && !options_.owner && desc_.border != BorderStyle::FixedToolWindow) {
        // An owned window never gets a taskbar button, and keeps its own extended style.
        options_.owner = hiddenOwnerWindow();
    }
    registerClass();
    if (!desc_.menus.empty()) {
        menuBar_ = std::make_unique<MenuBarWin32>(desc_.menus);
    }
    for (const TimerDesc& timer : desc_.timers) {
        timers_.push_back(std::make_unique<TimerWin32>(timer, *this));
    }

    // Made where it starts, at the primary screen's DPI: moving it there afterwards would cost
    // the system a second round of sizing before the window is first seen.
    dpi_ = systemDpi();
    const RECT start = startRect();
    const std::wstring className(desc_.className);
    const std::wstring caption(desc_.caption);
    // The window procedure keeps the handle in hwnd_ from the first message on.
    const HWND created = CreateWindowExW(
        exStyle(), className.c_str(), caption.c_str(), style(), start.left, start.top,
        start.right - start.left, start.bottom - start.top, options_.owner,
        menuBar_ ? menuBar_->handle() : nullptr, options_.instance, this);
    if (!created || !hwnd_) {
        throw std::runtime_error("the window could not be created");
    }
    if (menuBar_) {
        menuBar_->attachedToWindow();
    }
    const UINT startDpi = dpi_;
    dpi_ = dpiForWindow(hwnd_);
    background_.load(options_.instance, options_.backgroundBitmap, desc_.backColour);
    background_.rescale(hwnd_, toPixels(desc_.pictureWidth), toPixels(desc_.pictureHeight));
    createControls();
    fonts_.apply(controls_, dpi_);
    if (dpi_ != startDpi) {
        placeWindow();
    } else {
        correctClientSize(SIZE{start.right - start.left, start.bottom - start.top});
    }
}

FormWindow::~FormWindow() {
    // Nothing may reach the owner while it is going away.
    static FormEvents ignoreAll;
    events_ = &ignoreAll;
    // No DC may keep one of this form's fonts selected once they are deleted.
    for (LabelWin32* label : labels_) {
        label->dropBackBuffer();
    }
    releaseMeasuringFont();
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

void FormWindow::registerClass() const {
    const std::wstring className(desc_.className);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(options_.instance, className.c_str(), &existing)) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &FormWindow::windowProc;
    wc.hInstance = options_.instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = options_.bigIcon;
    wc.hIconSm = options_.smallIcon;
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc)) {
        throw std::runtime_error("the window class could not be registered");
    }
}

int FormWindow::toPixels(int twips) const {
    return twipsToPixels(twips, static_cast<int>(dpi_));
}

void FormWindow::paintBackground(HDC dc, const RECT& area) const {
    background_.paint(dc, area, backgroundLook(palette_, desc_));
    for (const LabelWin32* label : labels_) {
        RECT overlap;
        const RECT r = label->rectInForm();
        if (IntersectRect(&overlap, &area, &r)) {
            label->drawContent(dc);
        }
    }
}

LRESULT CALLBACK FormWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* creating = static_cast<FormWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
        creating->hwnd_ = window;
    }
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || reportingUntrappedError()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return guarded([&]() -> LRESULT {
        LRESULT result = 0;
        if (message != WM_NCCREATE && message != WM_NCDESTROY &&
            self->events_->formMessage(message, wParam, lParam, result)) {
            return result;
        }
        if (message == WM_NCDESTROY) {
            self->onDestroyed();
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        }
        if (self->hwnd_ != window) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        return self->handleMessage(message, wParam, lParam);
    });
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = hwnd_;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(window, &ps)) {
            paintBackground(dc, ps.rcPaint);
            EndPaint(window, &ps);
        }
        if (!painted_) {
            // Tooltips only matter once the form can be seen and pointed at; made before, they
            // would hold up the window's first appearance.
            painted_ = true;
            PostMessageW(window, kFirstPainted, 0, 0);
        }
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(window, &client);
        paintBackground(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return controlColour(message, reinterpret_cast<HDC>(wParam),
                             reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        if (handleCommand(wParam, lParam)) {
            return 0;
        }
        break;
    case WM_TIMER:
        for (const auto& timer : timers_) {
            if (static_cast<WPARAM>(timer->id()) == wParam) {
                timer->onTimerMessage();
                return 0;
            }
        }
        break;
    case WM_ACTIVATE:
        onActivate(wParam);
        return 0;
    case WM_ENABLE:
        // A message box disables the form and takes the focus with it. When the box has gone
        // and left the thread without an active window, the form is active again, and the focus
        // goes back where it was.
        if (wParam != FALSE && IsWindowVisible(hwnd_) && !IsIconic(hwnd_)) {
            if (!GetActiveWindow()) {
                SetActiveWindow(hwnd_);
            } else if (GetActiveWindow() == hwnd_ &&
                       (GetFocus() == nullptr || GetFocus() == hwnd_)) {
                focus_.restore(hwnd_, controls_);
            }
        }
        return 0;
    case WM_SETFOCUS:
        // The focus given to the form itself (say when a message box closes) goes on to the
        // control that had it, as in a dialog.
        focus_.restore(hwnd_, controls_);
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case kEndListBatches:
        endListBatches();
        return 0;
    case kFirstPainted:
        createTooltips();
        return 0;
    case WM_WINDOWPOSCHANGED:
        onWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
        break; // the defaults turn it into WM_SIZE and WM_MOVE
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        followSystemColours(message);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void FormWindow::endListBatches() {
    for (const auto& control : controls_) {
        if (auto* combo = dynamic_cast<ComboBoxWin32*>(control.get())) {
            combo->endListBatch();
        }
    }
}

void FormWindow::onWindowPosChanged(const WINDOWPOS& position) {
    if ((position.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) == 0) {
        return;
    }
    const bool shown = (position.flags & SWP_SHOWWINDOW) != 0;
    for (const auto& timer : timers_) {
        timer->formShown(shown);
    }
}

void FormWindow::endListBatchesSoon() {
    if (hwnd_) {
        PostMessageW(hwnd_, kEndListBatches, 0, 0);
    }
}

LRESULT FormWindow::controlColour(UINT message, HDC dc, HWND from) {
    for (const auto& control : controls_) {
        if (HBRUSH brush = control->colours(message, dc, from)) {
            return reinterpret_cast<LRESULT>(brush);
        }
    }
    return DefWindowProcW(hwnd_, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(from));
}

void FormWindow::comboNotification(const ComboBoxWin32& combo, int id, UINT code) {
    switch (code) {
    case CBN_EDITCHANGE:
        if (!combo.writingText()) {
            // A display that follows the typing ticks again, also while a warning about this
            // very change is on screen.
            nudgeInputTimers();
            events_->formEvent(id, Event::Change, {});
        }
        break;
    case CBN_SELCHANGE:
        nudgeInputTimers();
        break;
    case CBN_SETFOCUS:
        // A box that lost the focus outside the form and never got it back loses it now.
        for (const int parked : focus_.takeAwayExcept(id)) {
            events_->formEvent(parked, Event::LostFocus, {});
        }
        focus_.focused(combo.hwnd());
        if (focus_.takeGained(id)) {
            events_->formEvent(id, Event::GotFocus, {});
        }
        break;
    case CBN_KILLFOCUS:
        if (focus_.takeLost(id)) {
            events_->formEvent(id, Event::LostFocus, {});
        }
        break;
    default:
        break;
    }
}

bool FormWindow::handleCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    const HWND from = reinterpret_cast<HWND>(lParam);
    if (!from) {
        // A menu item, its shortcut, or a script sending the command: a disabled item does
        // nothing, whichever way it was chosen.
        MenuItemWin32* item = menuBar_ ? menuBar_->item(id) : nullptr;
        if (!item) {
            return false;
        }
        if (item->enabled()) {
            events_->formEvent(id, Event::Menu, {});
        }
        return true;
    }
    ChildControl* control = controlByWindow(from);
    if (!control) {
        return false;
    }
    if (auto* combo = dynamic_cast<ComboBoxWin32*>(control)) {
        comboNotification(*combo, id, code);
        return true;
    }
    if (dynamic_cast<OptionButtonWin32*>(control) && code == BN_CLICKED) {
        events_->formEvent(id, Event::Click, {});
        return true;
    }
    return false;
}

void FormWindow::onActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        focus_.deactivating(hwnd_);
        events_->activated(false);
        return;
    }
    if (HIWORD(wParam) == 0) {
        focus_.restore(hwnd_, controls_);
    }
    events_->activated(true);
}

void FormWindow::onDestroyed() {
    for (const auto& control : controls_) {
        control->detach();
    }
    if (menuBar_) {
        menuBar_->detach();
    }
    for (const auto& timer : timers_) {
        timer->detach();
    }
    if (tooltip_) {
        unregisterTooltip(hwnd_);
    }
    tooltip_ = nullptr;
    focus_.clear();
    hwnd_ = nullptr;
}

void FormWindow::destroy() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

void FormWindow::nudgeInputTimers() {
    for (const auto& timer : timers_) {
        timer->nudge();
    }
}

void FormWindow::startDesignTimers() {
    for (const auto& timer : timers_) {
        if (timer->desc().enabled) {
            timer->setEnabled(true);
        }
    }
}

HACCEL FormWindow::accelerators() const {
    return menuBar_ ? menuBar_->accelerators() : nullptr;
}

} // namespace zorvo::ui
