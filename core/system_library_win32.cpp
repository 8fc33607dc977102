#include "core/system_library_win32.h"

#include <string>

#include "core/com_win32.h"
#include "core/system_library_load.h"

namespace zorvo {
namespace {

class Win32LibraryLoader final : public LibraryLoader {
public:
    bool searchFlagsKnown() override {
        // The way LoadLibraryEx's documentation gives to tell. Kernel32 is in every process.
        static const bool known = [] {
            const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
            return kernel32 != nullptr && GetProcAddress(kernel32, "AddDllDirectory") != nullptr;
        }();
        return known;
    }
    void* loadFromSystemFolder(const std::wstring& name) override {
        return LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    void* loadFullPath(const std::wstring& path, bool searchFlags) override {
        // Either way the library's own dependencies are looked for beside it first, then in the
        // system folder, never in the current directory.
        return LoadLibraryExW(path.c_str(), nullptr,
                              searchFlags
                                  ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                                  : LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    std::wstring systemFolder() override {
        std::wstring folder(MAX_PATH, L'\0');
        UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
        if (length >= folder.size()) {
            folder.resize(length); // the size asked for, with room for the terminator
            length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
        }
        if (length == 0 || length >= folder.size()) {
            return {};
        }
        folder.resize(length);
        return folder;
    }
};

HMODULE shell32() noexcept {
    static const HMODULE library = systemLibrary(L"shell32.dll");
    return library;
}

} // namespace

HMODULE systemLibrary(const wchar_t* name) noexcept {
    try {
        Win32LibraryLoader loader;
        return static_cast<HMODULE>(loadSystemLibrary(loader, name));
    } catch (...) {
        return nullptr; // no memory for the path
    }
}

HMODULE libraryAt(const std::wstring& path) noexcept {
    Win32LibraryLoader loader;
    return static_cast<HMODULE>(loadLibraryAt(loader, path));
}

BOOL shellNotifyIcon(DWORD message, NOTIFYICONDATAW* data) noexcept {
    static const auto notify =
        systemFunction<decltype(Shell_NotifyIconW)>(shell32(), "Shell_NotifyIconW");
    return notify != nullptr ? notify(message, data) : FALSE;
}

bool shellOpen(HWND owner, const wchar_t* address, int showCommand) noexcept {
    static const auto execute =
        systemFunction<decltype(ShellExecuteExW)>(shell32(), "ShellExecuteExW");
    if (execute == nullptr) {
        return false;
    }
    // The shell may hand the address to an extension that is a COM object, which needs an
    // apartment on this thread.
    const bool com = ole().CoInitializeEx != nullptr && ole().CoUninitialize != nullptr;
    const HRESULT apartment =
        com ? ole().CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)
            : E_FAIL;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = address;
    info.nShow = showCommand;
    const bool opened = execute(&info) != FALSE;
    if (SUCCEEDED(apartment)) {
        ole().CoUninitialize();
    }
    return opened;
}

} // namespace zorvo
