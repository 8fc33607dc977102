#include "ui/label_win32.h"

#include "ui/form_window_win32.h"
#include "ui/guard_win32.h"

namespace zorvo::ui {

namespace {

/// Selects `font` into `dc` unless it is there already; it stays selected. Every DC drawn into
/// here is either released after the paint or one of the labels' own, which keep their font.
void useFont(HDC dc, HFONT font) {
    if (GetCurrentObject(dc, OBJ_FONT) != font) {
        SelectObject(dc, font);
    }
}

/// One memory DC for measuring captions, kept for the life of the program. It keeps the last
/// designed font it measured with selected (those outlive every label that uses them); a font
/// tried only for a moment is deselected again before it is deleted.
HDC measuringDc() {
    static const unique_hdc dc(CreateCompatibleDC(nullptr));
    return dc.get();
}

/// Whether `text` in `font` shows whole in a client area of `width` × `height`: no line cut off at
/// the bottom and, where there is room for one line only, no break at all.
bool textFits(HDC dc, HFONT font, const std::wstring& text, int width, int height) {
    useFont(dc, font);
    const int length = static_cast<int>(text.size());
    RECT line{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), length, &line, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    RECT wrapped{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), length, &wrapped,
              DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    const bool oneLineOnly = height < 2 * line.bottom;
    return wrapped.bottom <= height && (!oneLineOnly || line.right <= width);
}

/// The largest step below the designed height a caption may shrink by, in pixels.
constexpr LONG kMaxShrink = 4;

/// Sent or posted to a label: a click that comes from the keyboard or a screen reader.
constexpr UINT kPress = WM_USER + 1;

} // namespace

LabelWin32::LabelWin32(const ControlDesc& desc, FormWindow& form)
    : ChildControl(desc, form), fore_(desc.foreColour), back_(desc.backColour.value_or(0)),
      opaque_(desc.backColour.has_value()) {}

void LabelWin32::registerClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing)) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &LabelWin32::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
}

HWND LabelWin32::createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) {
    registerClass(instance);
    const std::wstring caption(desc_.caption);
    return CreateWindowExW(0, kClassName, caption.c_str(), baseStyle(), bounds.left, bounds.top,
                           bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(desc_.id)), instance, this);
}

LRESULT CALLBACK LabelWin32::windowProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<LabelWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message == WM_NCCREATE) {
        self->hwnd_ = window;
    }
    if (!self || reportingUntrappedError()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return guarded([&] { return self->handleMessage(window, message, wParam, lParam); });
}

LRESULT LabelWin32::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool live = IsWindowEnabled(window) && hwnd_ == window;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(window, &ps)) {
            paint(dc);
            EndPaint(window, &ps);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        refit();
        redraw();
        return result;
    }
    case WM_SIZE:
        refit();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_GETFONT:
        // As a static control answers: tools (and accessibility) read the font it draws with.
        return reinterpret_cast<LRESULT>(drawingFont());
    case WM_MOUSEACTIVATE:
        // A click on a label never moves the keyboard focus.
        return MA_ACTIVATE;
    case WM_MOUSEMOVE:
        if (live) {
            form_.events().formEvent(desc_.id, Event::MouseMove, {});
        }
        return 0;
    case WM_LBUTTONDOWN:
        if (live) {
            pressed_ = true;
            SetCapture(window);
            form_.events().formEvent(desc_.id, Event::MouseDown, {});
        }
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (live) {
            form_.events().formEvent(desc_.id, Event::MouseDown, {});
        }
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            if (GetCapture() == window) {
                ReleaseCapture();
            }
            RECT client;
            GetClientRect(window, &client);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (live && PtInRect(&client, at)) {
                form_.events().formEvent(desc_.id, Event::Click, {});
            }
        }
        return 0;
    case kPress:
        pressed(live);
        return 0;
    case WM_GETOBJECT:
        return objectFor(window, wParam, lParam);
    case WM_CAPTURECHANGED:
        // The press was taken over (a window drag started): no click follows.
        if (reinterpret_cast<HWND>(lParam) != window) {
            pressed_ = false;
        }
        return 0;
    case WM_ENABLE:
        pressed_ = false;
        redraw();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (hwnd_ == window) {
            hwnd_ = nullptr;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

RECT LabelWin32::rectInForm() const {
    // Where the layout put it (a label has no frame: its window is its client area), worked out
    // rather than asked of the system: every paint asks it of every label.
    if (!windowVisible()) {
        return RECT{0, 0, 0, 0};
    }
    return bounds();
}

void LabelWin32::drawContent(HDC dc) const {
    const RECT r = rectInForm();
    if (IsRectEmpty(&r)) {
        return;
    }
    const LabelLook look = labelLook(
        form_.palette(), desc_, LabelState{fore_, back_, border_, IsWindowEnabled(hwnd_) != FALSE});
    if (look.fill) {
        unique_hbrush back(CreateSolidBrush(*look.fill));
        FillRect(dc, &r, back.get());
    }
    const std::wstring text = windowText();
    if (!text.empty()) {
        useFont(dc, drawingFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, look.text);
        RECT textArea = r;
        const UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL |
                            (desc_.alignment == Alignment::Centre ? DT_CENTER : DT_LEFT);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea, format);
    }
    if (look.frame) {
        unique_hbrush line(CreateSolidBrush(*look.frame));
        FrameRect(dc, &r, line.get());
    }
}

void LabelWin32::paint(HDC target) {
    if (!hwnd_) {
        return;
    }
    const RECT place = bounds();
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    if (!backDc_ || backSize_.cx != width || backSize_.cy != height) {
        dropBackBuffer();
        backDc_.reset(CreateCompatibleDC(target));
        backBitmap_.reset(CreateCompatibleBitmap(target, width, height));
        if (!backDc_ || !backBitmap_) {
            dropBackBuffer();
            return;
        }
        SelectObject(backDc_.get(), backBitmap_.get());
        backSize_ = SIZE{width, height};
    }
    const HDC dc = backDc_.get();
    // The form's background with every label on it, this one included, seen through this
    // label's rectangle.
    const POINT origin{place.left, place.top};
    POINT previous;
    SetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    form_.paintBackground(dc, RECT{origin.x, origin.y, origin.x + width, origin.y + height});
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    // An overlapping label may have left its own font here; this one's stays between paints.
    useFont(dc, drawingFont());
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

void LabelWin32::dropBackBuffer() {
    backDc_.reset();
    backBitmap_.reset();
    backSize_ = SIZE{0, 0};
}

void LabelWin32::redraw() {
    // Only the labels that show this one's rectangle paint again; the form under them is covered
    // and has nothing new to show.
    const RECT mine = rectInForm();
    if (IsRectEmpty(&mine)) {
        return;
    }
    for (LabelWin32* label : form_.labels()) {
        RECT overlap;
        const RECT theirs = label->rectInForm();
        if (label->hwnd_ && IntersectRect(&overlap, &mine, &theirs)) {
            InvalidateRect(label->hwnd_, nullptr, FALSE);
        }
    }
}

void LabelWin32::redrawArea(const RECT& area) {
    // Overlapping labels show this one's text too, so they are repainted with it.
    if (hwnd_ && !IsRectEmpty(&area)) {
        RedrawWindow(GetParent(hwnd_), &area, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    }
}

void LabelWin32::setVisible(bool on) {
    if (!hwnd_ || on == windowVisible()) {
        return;
    }
    const RECT before = rectInForm();
    setWindowVisible(on);
    redrawArea(on ? rectInForm() : before);
}

void releaseMeasuringFont() {
    if (const HDC dc = measuringDc()) {
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    }
}

void LabelWin32::applyFont(HFONT font) {
    dropBackBuffer();
    ChildControl::applyFont(font);
    refit();
    redraw();
}

void LabelWin32::refit() {
    if (fitted_) {
        // The font about to go may be selected in the back buffer.
        dropBackBuffer();
        fitted_.reset();
    }
    const std::wstring text = windowText();
    RECT client{};
    if (!hwnd_ || font_ == nullptr || text.empty() || !GetClientRect(hwnd_, &client) ||
        client.right <= 0 || client.bottom <= 0) {
        return;
    }
    const HDC dc = measuringDc();
    LOGFONTW designed{};
    if (!dc || GetObjectW(font_, sizeof designed, &designed) == 0 ||
        textFits(dc, font_, text, client.right, client.bottom)) {
        return;
    }
    for (LONG shrink = 1; shrink <= kMaxShrink; ++shrink) {
        LOGFONTW smaller = designed;
        smaller.lfHeight += designed.lfHeight < 0 ? shrink : -shrink;
        unique_hfont candidate(CreateFontIndirectW(&smaller));
        if (!candidate) {
            break;
        }
        const bool fits = textFits(dc, candidate.get(), text, client.right, client.bottom);
        fitted_ = std::move(candidate);
        if (fits) {
            break;
        }
    }
    useFont(dc, font_);
}

void LabelWin32::pressed(bool live) {
    // Only a button the user could click now: shown and enabled.
    if (live && windowVisible()) {
        form_.events().formEvent(desc_.id, Event::Click, {});
    }
}

LRESULT LabelWin32::objectFor(HWND window, WPARAM wParam, LPARAM lParam) {
    if (hwnd_ == window) {
        if (const LRESULT object = answerGetObject(window, wParam, lParam)) {
            return object;
        }
    }
    return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
}

void LabelWin32::pressLater() {
    if (hwnd_) {
        PostMessageW(hwnd_, kPress, 0, 0);
    }
}

void LabelWin32::pressNow() {
    if (hwnd_) {
        SendMessageW(hwnd_, kPress, 0, 0);
    }
}

void LabelWin32::setEnabled(bool on) {
    setWindowEnabled(on);
    redraw();
}

void LabelWin32::setCaption(const std::wstring& text) {
    if (hwnd_ && text != windowText()) {
        SetWindowTextW(hwnd_, text.c_str());
    }
}

void LabelWin32::setForeColour(Colour c) {
    if (c != fore_) {
        fore_ = c;
        redraw();
    }
}

void LabelWin32::setBackColour(Colour c) {
    if (c != back_) {
        back_ = c;
        if (opaque_) {
            redraw();
        }
    }
}

void LabelWin32::setBorder(bool on) {
    if (on != border_) {
        border_ = on;
        redraw();
    }
}

} // namespace zorvo::ui
