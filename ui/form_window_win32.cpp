#include "ui/form_window_win32.h"

#include <commctrl.h>

#include <map>
#include <stdexcept>

#include "ui/combo_box_win32.h"
#include "ui/dpi_math.h"
#include "ui/dpi_win32.h"
#include "ui/guard_win32.h"
#include "ui/label_win32.h"
#include "ui/menu_win32.h"
#include "ui/message_loop_win32.h"
#include "ui/simple_controls_win32.h"
#include "ui/timer_win32.h"

namespace zorvo::ui {

namespace {

std::unique_ptr<ChildControl> makeControl(const ControlDesc& desc, FormWindow& form) {
    switch (desc.kind) {
    case ControlKind::Label:
        return std::make_unique<LabelWin32>(desc, form);
    case ControlKind::ComboBox:
    case ControlKind::DropDownList:
        return std::make_unique<ComboBoxWin32>(desc, form);
    case ControlKind::TextBox:
        return std::make_unique<TextBoxWin32>(desc, form);
    case ControlKind::Frame:
        return std::make_unique<FrameWin32>(desc, form);
    case ControlKind::OptionButton:
        return std::make_unique<OptionButtonWin32>(desc, form);
    }
    throw std::logic_error("unknown control kind");
}

template <typename T> T& controlAs(ChildControl* control) {
    auto* typed = dynamic_cast<T*>(control);
    if (!typed) {
        throw std::logic_error("the form has no control of that ID and kind");
    }
    return *typed;
}

unique_hfont createFont(const std::wstring& face, int height) {
    return unique_hfont(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

/// Whether the font mapper gave `font` the face it was asked for, rather than a stand-in.
bool hasFace(HFONT font, const std::wstring& face) {
    wchar_t actual[LF_FACESIZE] = {};
    if (HDC screen = GetDC(nullptr)) {
        SelectObjectScope select(screen, font);
        GetTextFaceW(screen, LF_FACESIZE, actual);
        ReleaseDC(nullptr, screen);
    }
    return CompareStringOrdinal(actual, -1, face.c_str(), -1, TRUE) == CSTR_EQUAL;
}

/// The designed font, or where its face is missing (Wine has no Comic Sans) a face with Cyrillic
/// letters no wider than the designed one, so that the captions still fit their labels. The list
/// holds such faces of Windows and of the Linux hosts Wine runs on.
unique_hfont createDesignedFont(const std::wstring& face, int height) {
    // Which face stands in for which does not change while the program runs: find it once.
    static std::map<std::wstring, std::wstring> standIns;
    if (const auto known = standIns.find(face); known != standIns.end()) {
        return createFont(known->second, height);
    }
    unique_hfont font = createFont(face, height);
    if (!font || hasFace(font.get(), face)) {
        standIns.emplace(face, face);
        return font;
    }
    for (const wchar_t* fallback :
         {L"Tahoma", L"Arial", L"Liberation Sans", L"Nimbus Sans", L"DejaVu Sans Condensed"}) {
        unique_hfont other = createFont(fallback, height);
        if (other && hasFace(other.get(), fallback)) {
            standIns.emplace(face, fallback);
            return other;
        }
    }
    standIns.emplace(face, face);
    return font;
}

Box boxOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

/// The window's monitor and its work area.
std::pair<Box, Box> monitorOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
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

FormWindow::FormWindow(const FormDesc& desc, FormEvents& events, const FormOptions& options)
    : desc_(desc), events_(&events), options_(options) {
    if (!options_.instance) {
        options_.instance = GetModuleHandleW(nullptr);
    }
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

    dpi_ = systemDpi();
    const SIZE provisional =
        windowSizeForClient(toPixels(desc_.clientWidth), toPixels(desc_.clientHeight), style(),
                            exStyle(), menuBar_ != nullptr, dpi_);
    const std::wstring className(desc_.className);
    const std::wstring caption(desc_.caption);
    // The window procedure keeps the handle in hwnd_ from the first message on.
    const HWND created =
        CreateWindowExW(exStyle(), className.c_str(), caption.c_str(), style(), 0, 0,
                        provisional.cx, provisional.cy, options_.owner,
                        menuBar_ ? menuBar_->handle() : nullptr, options_.instance, this);
    if (!created || !hwnd_) {
        throw std::runtime_error("the window could not be created");
    }
    if (menuBar_) {
        menuBar_->attachedToWindow();
    }
    if (desc_.border == BorderStyle::FixedToolWindow) {
        registerDialogWindow(hwnd_);
    }
    dpi_ = dpiForWindow(hwnd_);
    backBrush_.reset(CreateSolidBrush(desc_.backColour));
    if (options_.backgroundBitmap != 0) {
        picture_.reset(static_cast<HBITMAP>(LoadImageW(options_.instance,
                                                       MAKEINTRESOURCEW(options_.backgroundBitmap),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    rebuildBackground();
    createControls();
    rebuildFonts();
    createTooltips();
    placeWindow();
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
    wc.lpszClassName = className.c_str();
    if (!RegisterClassExW(&wc)) {
        throw std::runtime_error("the window class could not be registered");
    }
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

int FormWindow::toPixels(int twips) const {
    return twipsToPixels(twips, static_cast<int>(dpi_));
}

void FormWindow::createControls() {
    for (const ControlDesc& control : desc_.controls) {
        controls_.push_back(makeControl(control, *this));
        controls_.back()->create(options_.instance);
        if (auto* label = dynamic_cast<LabelWin32*>(controls_.back().get())) {
            labels_.push_back(label);
        }
    }
    // A frame lies under the controls it surrounds; those made after it would otherwise clip
    // themselves away beneath it.
    for (const auto& control : controls_) {
        if (control->desc().kind == ControlKind::Frame) {
            SetWindowPos(control->hwnd(), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

void FormWindow::createTooltips() {
    bool any = false;
    for (const ControlDesc& control : desc_.controls) {
        any = any || control.tooltip != nullptr;
    }
    if (!any) {
        return;
    }
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, options_.instance, nullptr);
    if (!tooltip_) {
        return; // the program works without tooltips
    }
    registerTooltip(hwnd_, tooltip_);
    for (const auto& control : controls_) {
        if (!control->desc().tooltip) {
            continue;
        }
        for (HWND window : control->tooltipWindows()) {
            TOOLINFOW tool{};
            // The size every version of the common controls accepts.
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.uFlags = TTF_IDISHWND;
            tool.hwnd = hwnd_;
            tool.uId = reinterpret_cast<UINT_PTR>(window);
            tool.lpszText = const_cast<wchar_t*>(control->desc().tooltip);
            SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

HFONT FormWindow::fontFor(const ControlDesc& control) {
    for (const Font& font : fonts_) {
        if (font.face == control.fontFace && font.pointSize == control.pointSize) {
            return font.handle.get();
        }
    }
    const std::wstring face(control.fontFace);
    unique_hfont handle =
        createDesignedFont(face, fontHeightForDpi(control.pointSize, static_cast<int>(dpi_)));
    const HFONT result = handle.get();
    fonts_.push_back(Font{face, control.pointSize, std::move(handle)});
    return result;
}

void FormWindow::rebuildFonts() {
    // The old fonts stay alive until every control has its new one.
    std::vector<Font> old;
    old.swap(fonts_);
    for (const auto& control : controls_) {
        if (!control->desc().fontFace.empty()) {
            control->applyFont(fontFor(control->desc()));
        }
    }
    releaseMeasuringFont();
}

void FormWindow::rebuildBackground() {
    pictureDc_.reset();
    scaledPicture_.reset();
    if (!picture_ || !hwnd_) {
        return;
    }
    BITMAP source{};
    if (!GetObjectW(picture_.get(), sizeof source, &source)) {
        return;
    }
    const int width = toPixels(desc_.pictureWidth);
    const int height = toPixels(desc_.pictureHeight);
    const HDC screen = GetDC(hwnd_);
    if (!screen) {
        return;
    }
    unique_hbitmap scaled(CreateCompatibleBitmap(screen, width, height));
    unique_hdc from(CreateCompatibleDC(screen));
    unique_hdc to(CreateCompatibleDC(screen));
    ReleaseDC(hwnd_, screen);
    if (!scaled || !from || !to) {
        return;
    }
    {
        SelectObjectScope selectFrom(from.get(), picture_.get());
        // Selected for good: `to` becomes the DC the background is painted from.
        SelectObject(to.get(), scaled.get());
        if (width == source.bmWidth && height == source.bmHeight) {
            BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(to.get(), HALFTONE);
            SetBrushOrgEx(to.get(), 0, 0, nullptr);
            StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, source.bmWidth,
                       source.bmHeight, SRCCOPY);
        }
    }
    scaledPicture_ = std::move(scaled);
    pictureDc_ = std::move(to);
    scaledPictureSize_ = SIZE{width, height};
}

void FormWindow::paintBackground(HDC dc, const RECT& area) const {
    paintPicture(dc, area);
    for (const LabelWin32* label : labels_) {
        RECT overlap;
        const RECT r = label->rectInForm();
        if (IntersectRect(&overlap, &area, &r)) {
            label->drawContent(dc);
        }
    }
}

void FormWindow::paintPicture(HDC dc, const RECT& area) const {
    if (!pictureDc_) {
        FillRect(dc, &area, backBrush_.get());
        return;
    }
    const RECT picture{0, 0, scaledPictureSize_.cx, scaledPictureSize_.cy};
    // Colour only where the picture does not reach, so nothing is painted twice on screen.
    RECT inside;
    if (!IntersectRect(&inside, &area, &picture) || !EqualRect(&inside, &area)) {
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, picture.left, picture.top, picture.right, picture.bottom);
        FillRect(dc, &area, backBrush_.get());
        RestoreDC(dc, saved);
    }

    RECT part;
    if (IntersectRect(&part, &area, &picture)) {
        BitBlt(dc, part.left, part.top, part.right - part.left, part.bottom - part.top,
               pictureDc_.get(), part.left, part.top, SRCCOPY);
    }
}

void FormWindow::placeWindow() {
    const int clientWidth = toPixels(desc_.clientWidth);
    const int clientHeight = toPixels(desc_.clientHeight);
    SIZE size = windowSizeForClient(clientWidth, clientHeight, style(), exStyle(),
                                    menuBar_ != nullptr, dpi_);
    const auto [monitor, work] = monitorOf(hwnd_);
    std::optional<Box> owner;
    RECT ownerRect{};
    if (options_.owner && IsWindowVisible(options_.owner) &&
        GetWindowRect(options_.owner, &ownerRect)) {
        owner = boxOf(ownerRect);
    }
    const Origin origin =
        startOrigin(options_.startPosition, monitor, work, owner, size.cx, size.cy);
    SetWindowPos(hwnd_, nullptr, static_cast<int>(origin.x), static_cast<int>(origin.y), size.cx,
                 size.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    // The menu bar may wrap, and a system may count its frame differently: measure and correct.
    RECT client;
    GetClientRect(hwnd_, &client);
    const int dx = clientWidth - (client.right - client.left);
    const int dy = clientHeight - (client.bottom - client.top);
    if (dx != 0 || dy != 0) {
        size.cx += dx;
        size.cy += dy;
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

void FormWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    rebuildBackground();
    rebuildFonts();
    for (const auto& control : controls_) {
        control->place();
    }
    RECT client;
    GetClientRect(hwnd_, &client);
    const int dx = toPixels(desc_.clientWidth) - (client.right - client.left);
    const int dy = toPixels(desc_.clientHeight) - (client.bottom - client.top);
    if (dx != 0 || dy != 0) {
        RECT window;
        GetWindowRect(hwnd_, &window);
        SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + dx,
                     window.bottom - window.top + dy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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
                restoreFocus();
            }
        }
        return 0;
    case WM_SETFOCUS:
        // The focus given to the form itself (say when a message box closes) goes on to the
        // control that had it, as in a dialog.
        restoreFocus();
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((position->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) != 0) {
            const bool shown = (position->flags & SWP_SHOWWINDOW) != 0;
            for (const auto& timer : timers_) {
                timer->formShown(shown);
            }
        }
        break; // the defaults turn it into WM_SIZE and WM_MOVE
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
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

void FormWindow::comboNotification(ComboBoxWin32& combo, int id, UINT code) {
    switch (code) {
    case CBN_EDITCHANGE:
        if (!combo.writingText()) {
            events_->comboChange(id);
        }
        break;
    case CBN_SELCHANGE:
        events_->comboSelect(id);
        break;
    case CBN_SETFOCUS:
        // A box that lost the focus outside the form and never got it back loses it now.
        for (const auto& other : controls_) {
            auto* parked = dynamic_cast<ComboBoxWin32*>(other.get());
            if (parked && parked != &combo && parked->focusParked()) {
                parked->unparkFocus();
                events_->comboFocus(parked->id(), false);
            }
        }
        lastFocus_ = combo.hwnd();
        if (combo.takeFocusGained()) {
            events_->comboFocus(id, true);
        }
        break;
    case CBN_KILLFOCUS:
        if (combo.takeFocusLost()) {
            events_->comboFocus(id, false);
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
            events_->menuCommand(id);
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
        events_->controlClick(id);
        return true;
    }
    return false;
}

void FormWindow::onActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) {
            lastFocus_ = focus;
        }
        events_->activated(false);
        return;
    }
    if (HIWORD(wParam) == 0) {
        restoreFocus();
    }
    events_->activated(true);
}

void FormWindow::restoreFocus() {
    const auto canFocus = [](HWND window) {
        return window && IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window);
    };
    if (lastFocus_ && canFocus(lastFocus_) && IsChild(hwnd_, lastFocus_)) {
        SetFocus(lastFocus_);
        return;
    }
    // Otherwise the first control in the tab order that takes the focus (labels never do).
    const ChildControl* first = nullptr;
    for (const auto& control : controls_) {
        const ControlDesc& d = control->desc();
        const bool focusable = d.kind != ControlKind::Label && d.kind != ControlKind::Frame &&
                               d.tabIndex >= 0 && canFocus(control->hwnd());
        if (focusable && (!first || d.tabIndex < first->desc().tabIndex)) {
            first = control.get();
        }
    }
    if (first) {
        SetFocus(first->hwnd());
    } else if (GetFocus() != hwnd_) {
        SetFocus(hwnd_);
    }
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
    if (desc_.border == BorderStyle::FixedToolWindow) {
        unregisterDialogWindow(hwnd_);
    }
    if (tooltip_) {
        unregisterTooltip(hwnd_);
    }
    tooltip_ = nullptr;
    lastFocus_ = nullptr;
    hwnd_ = nullptr;
}

void FormWindow::destroy() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
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

ChildControl* FormWindow::controlByWindow(HWND child) const {
    for (const auto& control : controls_) {
        if (control->owns(child)) {
            return control.get();
        }
    }
    return nullptr;
}

ChildControl* FormWindow::controlById(int id) const {
    for (const auto& control : controls_) {
        if (control->id() == id) {
            return control.get();
        }
    }
    return nullptr;
}

LabelWin32& FormWindow::label(int id) {
    return controlAs<LabelWin32>(controlById(id));
}
ComboBoxWin32& FormWindow::comboBox(int id) {
    return controlAs<ComboBoxWin32>(controlById(id));
}
TextBoxWin32& FormWindow::textBox(int id) {
    return controlAs<TextBoxWin32>(controlById(id));
}
OptionButtonWin32& FormWindow::optionButton(int id) {
    return controlAs<OptionButtonWin32>(controlById(id));
}

MenuItemWin32& FormWindow::menuItem(int id) {
    MenuItemWin32* item = menuBar_ ? menuBar_->item(id) : nullptr;
    if (!item) {
        throw std::logic_error("the form has no menu item of that ID");
    }
    return *item;
}

TimerWin32& FormWindow::timer(int id) {
    for (const auto& timer : timers_) {
        if (timer->id() == id) {
            return *timer;
        }
    }
    throw std::logic_error("the form has no timer of that ID");
}

// ---- ui::Form ----------------------------------------------------------------------------------

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

WindowState FormWindow::windowState() const {
    if (!hwnd_) {
        return WindowState::Normal;
    }
    if (pendingState_ && !IsWindowVisible(hwnd_)) {
        return pendingStateValue_;
    }
    return IsIconic(hwnd_) ? WindowState::Minimized : WindowState::Normal;
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
