#pragma once
// System libraries that only some moments of a run need (the shell for the icon and the home-page
// link, COM for a shutdown at the end of a countdown), loaded from System32 when first needed
// instead of at every start, and kept until the process ends.

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace zorvo {

/// The library, loaded from the system folder only (by its full path there where the system does
/// not know the search flag); null when it cannot be.
HMODULE systemLibrary(const wchar_t* name) noexcept;

/// The library at a full path (one beside the program), its dependencies from its own folder and
/// the system folder; null on failure, with the system's error code for GetLastError.
HMODULE libraryAt(const std::wstring& path) noexcept;

/// An export of a library from systemLibrary(); null when either is missing.
template <class Function> Function* systemFunction(HMODULE library, const char* name) noexcept {
    if (library == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

/// Shell_NotifyIconW; FALSE when the shell's library cannot be had.
BOOL shellNotifyIcon(DWORD message, NOTIFYICONDATAW* data) noexcept;

/// ShellExecuteExW with the verb "open", COM set up on the thread around it; false when it failed
/// or the library cannot be had.
bool shellOpen(HWND owner, const wchar_t* address, int showCommand) noexcept;

} // namespace zorvo
