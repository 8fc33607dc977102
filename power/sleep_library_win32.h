#pragma once
// The binding to sleep.dll: the library is loaded at the first call of an export, only by its
// full path in the program's folder, never through the DLL search path, so a sleep.dll lying in
// the current directory is never picked up.

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/power_library.h"

namespace zorvo {

/// Owns a loaded module; move-only.
class ModuleHandle {
public:
    ModuleHandle() = default;
    explicit ModuleHandle(HMODULE module) : module_(module) {}
    ModuleHandle(ModuleHandle&& other) noexcept : module_(other.release()) {}
    ModuleHandle& operator=(ModuleHandle&& other) noexcept;
    ModuleHandle(const ModuleHandle&) = delete;
    ModuleHandle& operator=(const ModuleHandle&) = delete;
    ~ModuleHandle();

    HMODULE get() const { return module_; }
    explicit operator bool() const { return module_ != nullptr; }
    HMODULE release() noexcept;

private:
    HMODULE module_ = nullptr;
};

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

    const std::wstring& path() const { return path_; }

private:
    using Export = std::int32_t(__stdcall*)();
    enum ExportIndex { kPTime, kGetParam, kGetView, kNTWait, kNTSleep, kExportCount };

    std::int32_t call(ExportIndex index);
    void load();

    std::wstring path_;
    ModuleHandle module_;
    Export exports_[kExportCount] = {};
};

} // namespace zorvo
