#include "system/files_win32.h"

#include <algorithm>
#include <string_view>

#include "core/unique_handle_win32.h"

namespace zorvo {
namespace {

/// The system's description of an error code in the user's language, without its line end.
std::wstring systemReason(DWORD code) {
    unique_local<wchar_t> owner;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(owner.put()), 0, nullptr);
    const wchar_t* raw = owner.get();
    if (length == 0 || raw == nullptr) {
        return L"Код ошибки " + std::to_wstring(code) + L".";
    }
    std::wstring reason(raw, length);
    while (!reason.empty() &&
           (reason.back() == L'\r' || reason.back() == L'\n' || reason.back() == L' ')) {
        reason.pop_back();
    }
    return reason;
}

/// `name` resolved against the current directory; `name` itself when that fails.
std::wstring fullPath(const std::wstring& name) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(name.c_str(), static_cast<DWORD>(path.size()), path.data(), nullptr);
        if (length == 0) {
            return name;
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length); // the size asked for, with its NUL
    }
}

[[noreturn]] void throwWriteError(const std::wstring& name, DWORD code) {
    throw FileError(L"Не удалось записать файл " + fullPath(name) + L":\r\n" + systemReason(code));
}

/// Writes all of `bytes`; the error code of the first failure, or ERROR_SUCCESS.
DWORD writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            return GetLastError();
        }
        if (written == 0) {
            return ERROR_WRITE_FAULT;
        }
        bytes.remove_prefix(written);
    }
    return ERROR_SUCCESS;
}

/// Creates a new, empty file beside `target` whose name no other file has.
unique_file createTemporaryBeside(const std::wstring& target, std::wstring& temporary,
                                  DWORD& error) {
    const std::wstring stem = target + L".~" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + std::to_wstring(attempt) + L".tmp";
        unique_file file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            error = ERROR_SUCCESS;
            return file;
        }
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    temporary.clear();
    return {};
}

unique_file openForReading(const std::wstring& path) {
    return unique_file(CreateFileW(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace

OpenResult Win32Files::tryOpenForReading(const std::wstring& path) {
    if (const unique_file file = openForReading(path)) {
        return OpenResult::Opened;
    }
    // Only a missing file counts; a missing folder cannot be the program's own.
    return GetLastError() == ERROR_FILE_NOT_FOUND ? OpenResult::NotFound : OpenResult::OtherFailure;
}

FileHead Win32Files::readHead(const std::wstring& name, std::size_t limit) {
    const unique_file file = openForReading(name);
    if (!file) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? FileHead::Status::Missing : FileHead::Status::Unreadable, {}};
    }
    FileHead head{FileHead::Status::Read, std::string(limit, '\0')};
    std::size_t filled = 0;
    while (filled < limit) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(limit - filled, 1U << 20));
        if (!ReadFile(file.get(), head.bytes.data() + filled, chunk, &read, nullptr)) {
            return {FileHead::Status::Unreadable, {}};
        }
        if (read == 0) {
            break;
        }
        filled += read;
    }
    head.bytes.resize(filled);
    return head;
}

void Win32Files::append(const std::wstring& name, const std::string& bytes) {
    unique_file file(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throwWriteError(name, GetLastError());
    }
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) {
        throwWriteError(name, GetLastError());
    }
    DWORD error = writeAll(file.get(), bytes);
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get())) {
        error = GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        // Half an entry would glue the next one to it: take back what did get written.
        if (SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN)) {
            SetEndOfFile(file.get());
        }
        throwWriteError(name, error);
    }
    if (!file.close()) {
        throwWriteError(name, GetLastError());
    }
}

void Win32Files::replace(const std::wstring& name, const std::string& bytes) {
    const std::wstring target = fullPath(name);
    std::wstring temporary;
    DWORD error = ERROR_SUCCESS;
    unique_file file = createTemporaryBeside(target, temporary, error);
    if (!file) {
        throwWriteError(name, error);
    }
    error = writeAll(file.get(), bytes);
    if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get())) {
        error = GetLastError();
    }
    if (!file.close() && error == ERROR_SUCCESS) {
        error = GetLastError();
    }
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        DeleteFileW(temporary.c_str());
        throwWriteError(name, error);
    }
}

std::optional<std::wstring> shortPathName(const std::wstring& path) {
    // A path past MAX_PATH is reached only through the long-path prefix, which the answer then
    // carries too.
    constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
    const bool prefixed = path.size() >= MAX_PATH && path.size() > 2 && path[1] == L':';
    const std::wstring asked = prefixed ? std::wstring(kLongPrefix) + path : path;
    std::wstring shortPath(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetShortPathNameW(asked.c_str(), shortPath.data(),
                                               static_cast<DWORD>(shortPath.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < shortPath.size()) {
            shortPath.resize(length);
            if (prefixed && std::wstring_view(shortPath).starts_with(kLongPrefix)) {
                shortPath.erase(0, kLongPrefix.size());
            }
            return shortPath;
        }
        shortPath.resize(length); // the size asked for, with its NUL
    }
}

} // namespace zorvo
