#include "system/process_win32.h"

#include "core/product.h"

namespace zorvo {
namespace {

/// The folder part of a module path: up to its last separator, which a drive root keeps.
std::wstring folderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        return path;
    }
    if (slash > 0 && path[slash - 1] == L':') {
        return path.substr(0, slash + 1);
    }
    return path.substr(0, slash);
}

std::wstring modulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        // A path that filled the buffer may have been cut: ask again with more room.
        if (length < path.size() && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

std::wstring Win32Process::programFolder() {
    return folderOf(modulePath());
}

std::wstring Win32Process::exeName() {
    const std::wstring path = modulePath();
    const std::size_t slash = path.find_last_of(L'\\');
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) {
        name.resize(dot);
    }
    return name;
}

bool Win32Process::anotherInstanceRunning() {
    if (!anotherInstance_) {
        SetLastError(ERROR_SUCCESS);
        instanceMutex_.reset(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
        const DWORD error = GetLastError();
        // Access denied: the object exists, made by a copy running with other rights.
        anotherInstance_ =
            instanceMutex_ ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    }
    return *anotherInstance_;
}

} // namespace zorvo
