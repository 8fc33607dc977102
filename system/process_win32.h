#pragma once
// The running program itself on the real Windows: its folder and name, and the other copies.

#include <windows.h>

#include <optional>
#include <string>

#include "core/services.h"
#include "core/unique_handle_win32.h"

namespace zorvo {

class Win32Process final : public ProcessService {
public:
    std::wstring programFolder() override;
    std::wstring exeName() override;
    /// Asks once; the named object created by the first call stays open until the process ends,
    /// so a copy started later sees it.
    bool anotherInstanceRunning() override;

private:
    unique_kernel_handle instanceMutex_;
    std::optional<bool> anotherInstance_;
};

} // namespace zorvo
