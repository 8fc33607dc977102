// sleep.dll: reads the delay, the task and the window mode from the command line of the process
// that loads it, and puts the computer into standby or hibernation. The exports are listed in
// sleep.def so that their names carry no decoration. There is no DllMain of our own: loading the
// library does nothing but what the runtime needs.

#include <windows.h>

#include <powrprof.h>

#include <cstdint>

#include "core/unique_handle_win32.h"
#include "sleep/command_line.h"
#include "sleep/sleep_exports.h"

namespace {

/// Parsed once per process, at the first call of an export: every call in a run answers the same.
const zorvo::CommandLineRequest& request() noexcept {
    static const zorvo::CommandLineRequest parsed = []() noexcept {
        try {
            return zorvo::parseCommandLine(GetCommandLineW());
        } catch (...) {
            // Out of memory: as if the command line had named nothing.
            return zorvo::CommandLineRequest{1, 1, 1};
        }
    }();
    return parsed;
}

/// Standby and hibernation need the shutdown privilege enabled in the process token.
bool enableShutdownPrivilege() noexcept {
    zorvo::unique_token token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          token.put())) {
        return false;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
        return false;
    }
    // Succeeds without enabling anything when the account lacks the privilege; the last error
    // tells the difference.
    if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
        return false;
    }
    return GetLastError() == ERROR_SUCCESS;
}

std::int32_t suspend(bool hibernate) noexcept {
    if (!enableShutdownPrivilege()) {
        return 0;
    }
    return SetSuspendState(hibernate ? TRUE : FALSE, FALSE, FALSE) ? 1 : 0;
}

} // namespace

extern "C" {

std::int32_t __stdcall PTime() {
    return request().delay;
}

std::int32_t __stdcall GetParam() {
    return request().task;
}

std::int32_t __stdcall GetView() {
    return request().view;
}

std::int32_t __stdcall NTWait() {
    return suspend(false);
}

std::int32_t __stdcall NTSleep() {
    return suspend(true);
}

} // extern "C"
