#include "power/sleep_library_win32.h"

#include "core/errors.h"
#include "core/program_folder.h"
#include "core/system_library_win32.h"

namespace zorvo {
namespace {

using namespace sleep_exports;

/// A full path: "X:\..." or a UNC or device path "\\...". Anything else would let the loader
/// search for the file.
bool isFullPath(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
    const bool unc = path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
    return drive || unc;
}

std::wstring widen(const char* ascii) {
    std::wstring text;
    for (; *ascii != '\0'; ++ascii) {
        text += static_cast<wchar_t>(*ascii);
    }
    return text;
}

} // namespace

SleepLibraryWin32::SleepLibraryWin32(const std::wstring& programFolder)
    : path_(powerLibraryPath(programFolder)) {}

std::int32_t SleepLibraryWin32::PTime() {
    return call(kPTime);
}
std::int32_t SleepLibraryWin32::GetParam() {
    return call(kGetParam);
}
std::int32_t SleepLibraryWin32::GetView() {
    return call(kGetView);
}
std::int32_t SleepLibraryWin32::NTWait() {
    return call(kNTWait);
}
std::int32_t SleepLibraryWin32::NTSleep() {
    return call(kNTSleep);
}

void SleepLibraryWin32::load() {
    if (module_) {
        return;
    }
    // The path is full, so the file itself is never searched for.
    HMODULE module = isFullPath(path_) ? libraryAt(path_) : nullptr;
    if (module == nullptr) {
        const DWORD error = isFullPath(path_) ? GetLastError() : ERROR_BAD_PATHNAME;
        throw UntrappedError(L"Не удалось загрузить библиотеку sleep.dll:\r\n" + path_ +
                             L"\r\nКод ошибки " + std::to_wstring(error) + L".");
    }
    module_.reset(module);
}

std::int32_t SleepLibraryWin32::call(Index index) {
    load();
    if (exports_[index] == nullptr) {
        const FARPROC proc = GetProcAddress(module_.get(), kNames[index]);
        if (proc == nullptr) {
            throw UntrappedError(L"В библиотеке sleep.dll нет функции " + widen(kNames[index]) +
                                 L":\r\n" + path_);
        }
        // Through a function type without parameters, which GCC accepts as a generic one.
        exports_[index] = reinterpret_cast<Export>(reinterpret_cast<void (*)()>(proc));
    }
    // Cleared first, so that only what the export itself left behind is taken for its reason.
    SetLastError(ERROR_SUCCESS);
    const std::int32_t result = exports_[index]();
    lastError_ = GetLastError();
    return result;
}

} // namespace zorvo
