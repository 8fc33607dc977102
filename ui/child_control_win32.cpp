#include "ui/child_control_win32.h"

#include <stdexcept>

#include "ui/accessible_win32.h"
#include "ui/form_window_win32.h"

namespace zorvo::ui {

HBRUSH BrushCache::get(Colour colour) {
    if (!brush_ || colour != colour_) {
        brush_.reset(CreateSolidBrush(colour));
        colour_ = colour;
    }
    return brush_.get();
}

std::wstring textOf(HWND window) {
    if (!window) {
        return {};
    }
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

ChildControl::~ChildControl() {
    if (accessible_) {
        accessible_->control = nullptr;
    }
}

void ChildControl::detach() {
    hwnd_ = nullptr;
    if (accessible_) {
        accessible_->control = nullptr;
    }
}

ControlState ChildControl::state() const {
    return ControlState{
        .visible = windowVisible(), .enabled = windowEnabled(), .caption = windowText()};
}

std::optional<AccessibleFacts> ChildControl::accessibleFacts() const {
    return zorvo::accessibleFacts(form_.desc(), desc_,
                                  [this](int id) { return form_.controlState(id); });
}

LRESULT ChildControl::answerGetObject(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!accessible_) {
        accessible_ = std::make_shared<AccessibleLink>(AccessibleLink{this});
    }
    return ui::answerGetObject(accessible_, window, wParam, lParam);
}

void ChildControl::create(HINSTANCE instance) {
    hwnd_ = createWindow(form_.hwnd(), instance, bounds());
    if (!hwnd_) {
        throw std::runtime_error("a control window could not be created");
    }
    afterCreate();
}

void ChildControl::applyFont(HFONT font) {
    font_ = font;
    if (hwnd_) {
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

DWORD ChildControl::baseStyle() const {
    return WS_CHILD | WS_CLIPSIBLINGS | (desc_.visible ? WS_VISIBLE : 0U);
}

RECT ChildControl::bounds() const {
    // Controls inside a frame are placed relative to it, but are children of the form so that
    // their notifications reach it.
    int left = desc_.left;
    int top = desc_.top;
    for (const ControlDesc& other : form_.desc().controls) {
        if (desc_.parentId != 0 && other.id == desc_.parentId) {
            left += other.left;
            top += other.top;
        }
    }
    const int x = form_.toPixels(left);
    const int y = form_.toPixels(top);
    // Right and bottom edges are scaled too, so neighbouring controls never overlap by rounding.
    const int right = form_.toPixels(left + desc_.width);
    const int bottom = y + windowHeight(form_.toPixels(top + desc_.height) - y);
    return RECT{x, y, right, bottom};
}

void ChildControl::place() {
    if (!hwnd_) {
        return;
    }
    const RECT r = bounds();
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HBRUSH ChildControl::colours(UINT, HDC, HWND) {
    return nullptr;
}

bool ChildControl::windowVisible() const {
    // The control's own flag: a child of a hidden form still counts as visible.
    return hwnd_ && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0;
}

void ChildControl::setWindowVisible(bool on) {
    if (hwnd_) {
        ShowWindow(hwnd_, on ? SW_SHOWNA : SW_HIDE);
    }
}

bool ChildControl::windowEnabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

void ChildControl::setWindowEnabled(bool on) {
    if (hwnd_) {
        EnableWindow(hwnd_, on ? TRUE : FALSE);
    }
}

std::wstring ChildControl::windowText() const {
    return textOf(hwnd_);
}

ControlLook ChildControl::look() const {
    return controlLook(form_.palette(), desc_, form_.desc().backColour, windowEnabled());
}

} // namespace zorvo::ui
