#include "system/shell_win32.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "core/product.h"
#include "core/system_library_win32.h"

namespace zorvo {

HWND Win32MessageBox::boxOwner() const {
    // Owned by the window the user works in, so that window gets the activation and the keyboard
    // focus back when the box closes; a hidden or missing window leaves the box task-modal.
    HWND owner = owner_ != nullptr ? owner_ : GetActiveWindow();
    if (owner != nullptr && !IsWindowVisible(owner)) {
        owner = nullptr;
    }
    return owner;
}

void Win32MessageBox::show(const std::wstring& text) {
    MessageBoxW(boxOwner(), text.c_str(), kTitle, MB_OK | MB_SETFOREGROUND | MB_TASKMODAL);
}

bool Win32MessageBox::askYesNo(const std::wstring& text) {
    return MessageBoxW(boxOwner(), text.c_str(), kTitle,
                       MB_YESNO | MB_DEFBUTTON2 | MB_SETFOREGROUND | MB_TASKMODAL) == IDYES;
}

void Win32Tray::notify(TrayOperation operation, const TrayIconRecord& record) {
    if (holding_) {
        held_.emplace_back(operation, record);
        return;
    }
    send(operation, record);
}

void Win32Tray::release() {
    holding_ = false;
    for (const auto& [operation, record] : std::exchange(held_, {})) {
        send(operation, record);
    }
}

void Win32Tray::send(TrayOperation operation, const TrayIconRecord& record) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = reinterpret_cast<HWND>(record.window);
    data.uID = record.identifier;
    data.uFlags = record.flags;
    data.uCallbackMessage = record.callbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.icon);
    const std::wstring tip = record.tipText();
    const std::size_t length = std::min(tip.size(), std::size(data.szTip) - 1);
    std::copy_n(tip.begin(), length, data.szTip);
    data.szTip[length] = L'\0';

    DWORD message = NIM_ADD;
    switch (operation) {
    case TrayOperation::Add:
        message = NIM_ADD;
        break;
    case TrayOperation::Modify:
        message = NIM_MODIFY;
        break;
    case TrayOperation::Delete:
        message = NIM_DELETE;
        break;
    }
    shellNotifyIcon(message, &data);
}

std::wstring Win32Clock::shortDateText() {
    wchar_t text[128] = {};
    const int length = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr,
                                       text, static_cast<int>(std::size(text)), nullptr);
    return length > 0 ? std::wstring(text) : std::wstring();
}

std::wstring Win32Clock::timeText() {
    wchar_t text[128] = {};
    const int length = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, text,
                                       static_cast<int>(std::size(text)));
    return length > 0 ? std::wstring(text) : std::wstring();
}

std::uint16_t Win32Keyboard::asyncKeyState(int virtualKey) {
    return static_cast<std::uint16_t>(GetAsyncKeyState(virtualKey));
}

wchar_t Win32Locale::decimalSeparator() {
    wchar_t text[8] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text,
                                       static_cast<int>(std::size(text)));
    return length > 1 ? text[0] : L'.';
}

} // namespace zorvo
