#include "app/services_win32.h"

#include "ui/system_library_win32.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <utility>

namespace zorvo {
namespace {

/// Owns a kernel handle from CreateFileW; move-only.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(FileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&&) = delete;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { close(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    /// Closes now; false when the system reports a failure (for a file written to, the last
    /// moment a write error can show).
    bool close() noexcept {
        if (!valid()) {
            return true;
        }
        return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
    }

private:
    HANDLE handle_;
};

/// Memory from FormatMessageW's FORMAT_MESSAGE_ALLOCATE_BUFFER.
struct LocalFreer {
    void operator()(wchar_t* memory) const noexcept { LocalFree(memory); }
};

/// The system's description of an error code in the user's language, without its line end.
std::wstring systemReason(DWORD code) {
    wchar_t* raw = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
    std::unique_ptr<wchar_t, LocalFreer> owner(raw);
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
FileHandle createTemporaryBeside(const std::wstring& target, std::wstring& temporary,
                                 DWORD& error) {
    const std::wstring stem = target + L".~" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + std::to_wstring(attempt) + L".tmp";
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid()) {
            error = ERROR_SUCCESS;
            return file;
        }
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    temporary.clear();
    return FileHandle(INVALID_HANDLE_VALUE);
}

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

// Named in the session's namespace: one copy per logged-on user session.
constexpr wchar_t kInstanceMutexName[] =
    L"Local\\Zorvo.SingleInstance.{F68F06CC-6405-4393-81D1-0F867B0B05CB}";

} // namespace

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
    ui::shellNotifyIcon(message, &data);
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

OpenResult Win32Files::tryOpenForReading(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid()) {
        return OpenResult::Opened;
    }
    // Only a missing file counts; a missing folder cannot be the program's own.
    return GetLastError() == ERROR_FILE_NOT_FOUND ? OpenResult::NotFound : OpenResult::OtherFailure;
}

FileHead Win32Files::readHead(const std::wstring& name, std::size_t limit) {
    FileHandle file(CreateFileW(name.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
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
    FileHandle file(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
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
    FileHandle file = createTemporaryBeside(target, temporary, error);
    if (!file.valid()) {
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

void Win32Process::HandleCloser::operator()(HANDLE handle) const noexcept {
    CloseHandle(handle);
}

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
        HANDLE mutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
        const DWORD error = GetLastError();
        instanceMutex_.reset(mutex);
        // Access denied: the object exists, made by a copy running with other rights.
        anotherInstance_ =
            mutex != nullptr ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    }
    return *anotherInstance_;
}

wchar_t Win32Locale::decimalSeparator() {
    wchar_t text[8] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text,
                                       static_cast<int>(std::size(text)));
    return length > 1 ? text[0] : L'.';
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
