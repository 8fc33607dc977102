#pragma once
// The binding to sleep.dll: the library is loaded at the first call of an export, only by its
// full path in the program's folder, never through the DLL search path, so a sleep.dll lying in
// the current directory is never picked up.

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/power_library.h"
#include "core/unique_handle_win32.h"
#include "sleep/sleep_exports.h"

namespace zorvo {

/// sleep.dll beside the program. A library that cannot be loaded, or lacks the export called,
/// raises UntrappedError with a message for the user; a later call tries again.
class SleepLibraryWin32 final : public PowerLibrary {
public:
    /// `programFolder` as ProcessService::programFolder gives it.
    explicit SleepLibraryWin32(const std::wstring& programFolder);

    std::int32_t PTime() override;
    std::int32_t GetParam() override;
    std::int32_t GetView() override;
    std::int32_t NTWait() override;
    std::int32_t NTSleep() override;
    std::uint32_t lastError() override { return lastError_; }

    const std::wstring& path() const { return path_; }

private:
    std::int32_t call(sleep_exports::Index index);
    void load();

    std::wstring path_;
    unique_hmodule module_;
    sleep_exports::Export exports_[sleep_exports::kCount] = {};
    std::uint32_t lastError_ = 0;
};

} // namespace zorvo
