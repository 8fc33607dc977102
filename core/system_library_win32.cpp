#include "core/system_library_win32.h"

namespace zorvo::ui {
namespace {

HMODULE shell32() noexcept {
    static const HMODULE library = systemLibrary(L"shell32.dll");
    return library;
}

} // namespace

HMODULE systemLibrary(const wchar_t* name) noexcept {
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

BOOL shellNotifyIcon(DWORD message, NOTIFYICONDATAW* data) noexcept {
    static const auto notify =
        systemFunction<decltype(Shell_NotifyIconW)>(shell32(), "Shell_NotifyIconW");
    return notify != nullptr ? notify(message, data) : FALSE;
}

bool shellOpen(HWND owner, const wchar_t* address, int showCommand) noexcept {
    static const auto execute = systemFunction<decltype(ShellExecuteW)>(shell32(), "ShellExecuteW");
    if (execute == nullptr) {
        return false;
    }
    const HINSTANCE result = execute(owner, L"open", address, nullptr, nullptr, showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace zorvo::ui
