#include "ui/combo_box_win32.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "ui/form_window_win32.h"
#include "ui/guard_win32.h"

namespace zorvo::ui {

namespace {

/// Room for the list of delays without a reallocation per item.
constexpr int kReservedItems = 400;
constexpr int kReservedBytesPerItem = 8 * static_cast<int>(sizeof(wchar_t));
/// The dropped list shows about a dozen items.
constexpr int kDroppedListHeight96 = 180;

int shiftState() {
    int shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) {
        shift |= 1;
    }
    if (GetKeyState(VK_CONTROL) < 0) {
        shift |= 2;
    }
    if (GetKeyState(VK_MENU) < 0) {
        shift |= 4;
    }
    return shift;
}

} // namespace

HWND ComboBoxWin32::createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) {
    const DWORD kind = editable() ? (CBS_DROPDOWN | CBS_AUTOHSCROLL) : CBS_DROPDOWNLIST;
    return CreateWindowExW(
        0, WC_COMBOBOXW, L"", baseStyle() | kind | WS_VSCROLL | WS_TABSTOP, bounds.left, bounds.top,
        bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(desc_.id)), instance, nullptr);
}

void ComboBoxWin32::afterCreate() {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(hwnd_, &info)) {
        edit_ = editable() ? info.hwndItem : nullptr;
        list_ = info.hwndList;
    }
    if (edit_) {
        SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        editOriginal_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboBoxWin32::editProc)));
    }
    if (desc_.labelledBy != 0) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        boxOriginal_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ComboBoxWin32::boxProc)));
    }
    SendMessageW(hwnd_, CB_INITSTORAGE, kReservedItems,
                 LPARAM{kReservedItems} * kReservedBytesPerItem);
    if (editable()) {
        setText(std::wstring(desc_.caption));
    }
}

int ComboBoxWin32::windowHeight(int designedHeight) const {
    return designedHeight + MulDiv(kDroppedListHeight96, static_cast<int>(form_.dpi()), 96);
}

bool ComboBoxWin32::owns(HWND window) const {
    return window && (window == hwnd_ || window == edit_ || window == list_);
}

std::vector<HWND> ComboBoxWin32::tooltipWindows() const {
    std::vector<HWND> windows{hwnd_};
    if (edit_) {
        windows.push_back(edit_);
    }
    return windows;
}

void ComboBoxWin32::detach() {
    ChildControl::detach();
    edit_ = nullptr;
    list_ = nullptr;
}

HBRUSH ComboBoxWin32::colours(UINT, HDC dc, HWND from) {
    // Without colours of its own the box is left to the system, which draws it in its own.
    if (!owns(from) || (!desc_.backColour && !form_.palette().highContrast)) {
        return nullptr;
    }
    const ControlLook drawn = look();
    SetTextColor(dc, drawn.text);
    SetBkColor(dc, drawn.back);
    SetBkMode(dc, OPAQUE);
    return back_.get(drawn.back);
}

LRESULT CALLBACK ComboBoxWin32::editProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<ComboBoxWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->editOriginal_) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const WNDPROC original = self->editOriginal_;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->edit_ = nullptr;
        self->editOriginal_ = nullptr;
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    if (reportingUntrappedError()) {
        return self->callEdit(window, message, wParam, lParam);
    }
    return guarded([&] { return self->handleEditMessage(window, message, wParam, lParam); });
}

LRESULT CALLBACK ComboBoxWin32::boxProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<ComboBoxWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->boxOriginal_) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const WNDPROC original = self->boxOriginal_;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->boxOriginal_ = nullptr;
    } else if (message == WM_GETOBJECT && self->hwnd_ == window && !reportingUntrappedError()) {
        const LRESULT object =
            guarded([&] { return self->answerGetObject(window, wParam, lParam); });
        if (object != 0) {
            return object;
        }
    }
    return CallWindowProcW(original, window, message, wParam, lParam);
}

LRESULT ComboBoxWin32::callEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcW(editOriginal_, window, message, wParam, lParam);
}

LRESULT ComboBoxWin32::handleEditMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KILLFOCUS: {
        // Where the focus goes decides whether the handlers hear of it: not when it leaves the
        // form for another window while the box could keep it.
        const HWND to = reinterpret_cast<HWND>(wParam);
        const HWND form = form_.hwnd();
        const bool insideForm = to && form && (to == form || IsChild(form, to));
        form_.focus().boxLosing(desc_.id,
                                !insideForm && hwnd_ && IsWindowEnabled(hwnd_) && windowVisible());
        break;
    }
    case WM_ENABLE:
        if (wParam == FALSE && form_.focus().takeAway(desc_.id)) {
            // Disabled while the focus was elsewhere: it will not come back to the box.
            form_.events().formEvent(desc_.id, Event::LostFocus, {});
            if (!IsWindow(window)) {
                return 0;
            }
        }
        break;
    case WM_GETOBJECT:
        // The edit field is what has the focus: a reader names it as the box.
        if (const LRESULT object = answerGetObject(window, wParam, lParam)) {
            return object;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
        // A disabled box takes no input, even input posted straight to its edit field.
        if (!hwnd_ || !IsWindowEnabled(hwnd_)) {
            return 0;
        }
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            form_.events().formEvent(desc_.id, Event::KeyDown,
                                     {static_cast<int>(wParam), shiftState()});
            if (!IsWindow(window)) {
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return callEdit(window, message, wParam, lParam);
}

void ComboBoxWin32::setEnabled(bool on) {
    setWindowEnabled(on);
}

void ComboBoxWin32::setText(const std::wstring& text) {
    if (!hwnd_) {
        return;
    }
    if (!editable()) {
        const LRESULT found = SendMessageW(hwnd_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
        return;
    }
    if (text == windowText()) {
        return;
    }
    writing_ = true;
    SetWindowTextW(hwnd_, text.c_str());
    writing_ = false;
    SendMessageW(hwnd_, CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
}

void ComboBoxWin32::selection(DWORD& start, DWORD& end) const {
    start = 0;
    end = 0;
    if (hwnd_ && edit_) {
        SendMessageW(hwnd_, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
    }
}

int ComboBoxWin32::selStart() const {
    DWORD start = 0;
    DWORD end = 0;
    selection(start, end);
    return static_cast<int>(start);
}

void ComboBoxWin32::setSelLength(int length) {
    if (!hwnd_ || !edit_) {
        return;
    }
    const int textLength = static_cast<int>(windowText().size());
    const int start = std::min(selStart(), textLength);
    const int end = std::clamp(start + std::max(length, 0), start, textLength);
    SendMessageW(hwnd_, CB_SETEDITSEL, 0, MAKELPARAM(start, end));
}

void ComboBoxWin32::addItem(const std::wstring& item) {
    if (!hwnd_) {
        return;
    }
    if (!listBatch_ && list_ != nullptr) {
        // A list that redraws sets its scroll bar again for every item added, a call to the
        // system each time: 360 of them in every start. The list is not on screen while it is
        // filled, so it redraws once, when the form's queue next comes round.
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        listBatch_ = true;
        form_.endListBatchesSoon();
    }
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void ComboBoxWin32::endListBatch() {
    if (listBatch_ && list_ != nullptr) {
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    }
    listBatch_ = false;
}

int ComboBoxWin32::itemCount() const {
    if (!hwnd_) {
        return 0;
    }
    const LRESULT count = SendMessageW(hwnd_, CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

std::wstring ComboBoxWin32::item(int index) const {
    if (!hwnd_ || index < 0) {
        return {};
    }
    const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

void ComboBoxWin32::setListIndex(int index) {
    if (hwnd_) {
        SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

} // namespace zorvo::ui
