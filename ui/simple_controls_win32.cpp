#include "ui/simple_controls_win32.h"

#include <windows.h>

#include <commctrl.h>

#include "core/system_library_win32.h"
#include "ui/form_window_win32.h"

namespace zorvo::ui {

namespace {

HMENU controlId(int id) {
    return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

HBRUSH paintColours(const ControlLook& look, BrushCache& brush, HDC dc) {
    SetTextColor(dc, look.text);
    SetBkColor(dc, look.back);
    SetBkMode(dc, OPAQUE);
    return brush.get(look.back);
}

} // namespace

void useClassicLook(HWND window) noexcept {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    // Through the program's own loader, which has a way for a Windows 7 without the search flag:
    // there a refused flag would leave the theme on, drawing dark text on the black background.
    static const HMODULE uxtheme = systemLibrary(L"uxtheme.dll");
    if (!uxtheme || !window) {
        return;
    }
    const auto setTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetWindowTheme")));
    if (setTheme) {
        // An empty name does not switch theming off everywhere (Wine's light theme keeps drawing
        // a group box caption in its own colour); a name no theme has does.
        setTheme(window, L" ", L" ");
    }
}

HWND TextBoxWin32::createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) {
    const std::wstring text(desc_.caption);
    return CreateWindowExW(
        0, WC_EDITW, text.c_str(),
        baseStyle() | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
        bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
        controlId(desc_.id), instance, nullptr);
}

void TextBoxWin32::setText(const std::wstring& text) {
    if (hwnd_) {
        SetWindowTextW(hwnd_, text.c_str());
    }
}

HBRUSH TextBoxWin32::colours(UINT, HDC dc, HWND from) {
    return owns(from) ? paintColours(look(), back_, dc) : nullptr;
}

HWND OptionButtonWin32::createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) {
    // The first button of a frame starts its group, so the arrow keys stay inside the frame.
    bool first = true;
    for (const ControlDesc& other : form_.desc().controls) {
        if (other.kind == ControlKind::OptionButton && other.parentId == desc_.parentId) {
            first = other.id == desc_.id;
            break;
        }
    }
    const std::wstring caption(desc_.caption);
    const HWND window =
        CreateWindowExW(0, WC_BUTTONW, caption.c_str(),
                        baseStyle() | BS_AUTORADIOBUTTON | WS_TABSTOP | (first ? WS_GROUP : 0U),
                        bounds.left, bounds.top, bounds.right - bounds.left,
                        bounds.bottom - bounds.top, parent, controlId(desc_.id), instance, nullptr);
    useClassicLook(window);
    return window;
}

bool OptionButtonWin32::value() const {
    return hwnd_ && SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void OptionButtonWin32::setValue(bool on) {
    if (!hwnd_) {
        return;
    }
    if (!on) {
        SendMessageW(hwnd_, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    // Choosing one button clears the others of its group, as a click would.
    for (const ControlDesc& other : form_.desc().controls) {
        if (other.kind == ControlKind::OptionButton && other.parentId == desc_.parentId &&
            other.id != desc_.id) {
            form_.optionButton(other.id).setValue(false);
        }
    }
    SendMessageW(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
}

HBRUSH OptionButtonWin32::colours(UINT, HDC dc, HWND from) {
    return owns(from) ? paintColours(look(), back_, dc) : nullptr;
}

HWND FrameWin32::createWindow(HWND parent, HINSTANCE instance, const RECT& bounds) {
    const std::wstring caption(desc_.caption);
    const HWND window = CreateWindowExW(
        0, WC_BUTTONW, caption.c_str(), (baseStyle() & ~DWORD{WS_CLIPSIBLINGS}) | BS_GROUPBOX,
        bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
        controlId(desc_.id), instance, nullptr);
    useClassicLook(window);
    return window;
}

void FrameWin32::afterCreate() {
    SetWindowSubclass(hwnd_, &FrameWin32::frameProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK FrameWin32::frameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR data) noexcept {
    if (message == WM_ERASEBKGND) {
        auto* self = reinterpret_cast<FrameWin32*>(data);
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, self->back_.get(self->look().back));
        return 1;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &FrameWin32::frameProc, 1);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

HBRUSH FrameWin32::colours(UINT, HDC dc, HWND from) {
    return owns(from) ? paintColours(look(), back_, dc) : nullptr;
}

} // namespace zorvo::ui
