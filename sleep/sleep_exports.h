#pragma once
// The five exports of sleep.dll, declared once for the library that defines them and for the
// program, which finds them by name at run time. sleep.def lists the same names, undecorated.

#include <cstdint>

extern "C" {

/// The delay in minutes: 1 when none was given, 0 when it is malformed or too large.
std::int32_t __stdcall PTime();
/// The task code: 1 none, 3 shutdown, 4 standby, 5 reboot, 7 hibernation, 8 alarm.
std::int32_t __stdcall GetParam();
/// The window mode: 1 normal, 2 minimised, 3 in the notification area, 4 fully hidden.
std::int32_t __stdcall GetView();
/// Standby; nonzero when the system accepted the request. On 0 the thread's last error is the
/// system's reason.
std::int32_t __stdcall NTWait();
/// Hibernation; as NTWait.
std::int32_t __stdcall NTSleep();

} // extern "C"

namespace zorvo::sleep_exports {

/// Every export has this type.
using Export = decltype(&::PTime);

enum Index { kPTime, kGetParam, kGetView, kNTWait, kNTSleep, kCount };

/// The exports' names, by Index.
inline constexpr const char* kNames[kCount] = {"PTime", "GetParam", "GetView", "NTWait", "NTSleep"};

} // namespace zorvo::sleep_exports
