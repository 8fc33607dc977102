// sleep.dll: reads the delay, the task and the window mode from the command line of the process
// that loads it, and puts the computer into standby or hibernation. The exports are listed in
// sleep.def so that their names carry no decoration. There is no DllMain of our own: loading the
// library does nothing but what the runtime needs.

#include <windows.h>

#include <powrprof.h>

#include <cstdint>

#include "sleep/command_line.h"

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

class TokenHandle {
public:
    TokenHandle() = default;
    TokenHandle(const TokenHandle&) = delete;
    TokenHandle& operator=(const TokenHandle&) = delete;
    ~TokenHandle() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    HANDLE* put() { return &handle_; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

/// Standby and hibernation need the shutdown privilege enabled in the process token.
bool enableShutdownPrivilege() noexcept {
    TokenHandle token;
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

/// The delay in minutes: 1 when none was given, 0 when it is malformed or too large.
std::int32_t __stdcall PTime() {
    return request().delay;
}

/// The task code: 1 none, 3 shutdown, 4 standby, 5 reboot, 7 hibernation, 8 alarm.
std::int32_t __stdcall GetParam() {
    return request().task;
}

/// The window mode: 1 normal, 2 minimised, 3 in the notification area, 4 fully hidden.
std::int32_t __stdcall GetView() {
    return request().view;
}

/// Standby; nonzero when the system accepted the request.
std::int32_t __stdcall NTWait() {
    return suspend(false);
}

/// Hibernation; nonzero when the system accepted the request.
std::int32_t __stdcall NTSleep() {
    return suspend(true);
}

} // extern "C"
