#include "ui/label_win32.h"

#include "ui/form_window_win32.h"
#include "ui/guard_win32.h"

namespace zorvo::ui {

namespace {

/// A memory DC with a bitmap the size of the target area, copied out in one go.
class BackBuffer {
public:
    BackBuffer(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width, height)),
          select_(dc_.get(), bitmap_.get()) {}
    HDC dc() const { return dc_.get(); }
    bool ok() const { return dc_ && bitmap_; }

private:
    unique_hdc dc_;
    unique_hbitmap bitmap_;
    SelectObjectScope select_;
};

/// Whether `text` in `font` shows whole in a client area of `width` × `height`: no line cut off at
/// the bottom and, where there is room for one line only, no break at all.
bool textFits(HDC dc, HFONT font, const std::wstring& text, int width, int height) {
    SelectObjectScope select(dc, font);
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
    RECT r{0, 0, 0, 0};
    if (!windowVisible()) {
        return r;
    }
    GetClientRect(hwnd_, &r);
    MapWindowPoints(hwnd_, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void LabelWin32::drawContent(HDC dc) const {
    const RECT r = rectInForm();
    if (IsRectEmpty(&r)) {
        return;
    }
    if (opaque_) {
        unique_hbrush back(CreateSolidBrush(back_));
        FillRect(dc, &r, back.get());
    }
    const std::wstring text = windowText();
    if (!text.empty()) {
        SelectObjectScope font(dc, drawingFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsWindowEnabled(hwnd_) ? fore_ : GetSysColor(COLOR_GRAYTEXT));
        RECT textArea = r;
        const UINT format = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL |
                            (desc_.alignment == Alignment::Centre ? DT_CENTER : DT_LEFT);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea, format);
    }
    if (border_) {
        unique_hbrush line(CreateSolidBrush(fore_));
        FrameRect(dc, &r, line.get());
    }
}

void LabelWin32::paint(HDC target) {
    if (!hwnd_) {
        return;
    }
    RECT client;
    GetClientRect(hwnd_, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    BackBuffer buffer(target, width, height);
    if (!buffer.ok()) {
        return;
    }
    const HDC dc = buffer.dc();
    // The form's background with every label on it, this one included, seen through this
    // label's rectangle.
    POINT origin{0, 0};
    MapWindowPoints(hwnd_, GetParent(hwnd_), &origin, 1);
    POINT previous;
    SetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    form_.paintBackground(dc, RECT{origin.x, origin.y, origin.x + width, origin.y + height});
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

void LabelWin32::redraw() {
    redrawArea(rectInForm());
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

void LabelWin32::applyFont(HFONT font) {
    ChildControl::applyFont(font);
    refit();
    redraw();
}

void LabelWin32::refit() {
    fitted_.reset();
    const std::wstring text = windowText();
    RECT client{};
    if (!hwnd_ || font_ == nullptr || text.empty() || !GetClientRect(hwnd_, &client) ||
        client.right <= 0 || client.bottom <= 0) {
        return;
    }
    unique_hdc dc(CreateCompatibleDC(nullptr));
    LOGFONTW designed{};
    if (!dc || GetObjectW(font_, sizeof designed, &designed) == 0 ||
        textFits(dc.get(), font_, text, client.right, client.bottom)) {
        return;
    }
    for (LONG shrink = 1; shrink <= kMaxShrink; ++shrink) {
        LOGFONTW smaller = designed;
        smaller.lfHeight += designed.lfHeight < 0 ? shrink : -shrink;
        unique_hfont candidate(CreateFontIndirectW(&smaller));
        if (!candidate) {
            return;
        }
        const bool fits = textFits(dc.get(), candidate.get(), text, client.right, client.bottom);
        fitted_ = std::move(candidate);
        if (fits) {
            return;
        }
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
