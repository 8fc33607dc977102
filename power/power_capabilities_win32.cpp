#include "power/power_capabilities_win32.h"

#include <windows.h>

#include <cstddef>

#include "core/system_library_win32.h"

namespace zorvo {
namespace {

// Declared in powrprof.h (powerbase.h in newer SDKs); spelled out so that the header that holds
// it does not matter.
using GetPwrCapabilitiesFunction = BOOLEAN WINAPI(PSYSTEM_POWER_CAPABILITIES);

// AoAc (S0 low-power idle, Windows 8 and later) is byte 0x14 of the answer; MinGW's header still
// calls that byte spare2[2]. Its documented neighbours pin the place: should the header move them,
// the build stops here instead of reading another member.
constexpr std::size_t kAoAcOffset = 0x14;
static_assert(offsetof(SYSTEM_POWER_CAPABILITIES, FastSystemS4) == kAoAcOffset - 3);
static_assert(offsetof(SYSTEM_POWER_CAPABILITIES, DiskSpinDown) == kAoAcOffset + 1);
static_assert(offsetof(SYSTEM_POWER_CAPABILITIES, SystemBatteriesPresent) == 0x1E);
static_assert(sizeof(SYSTEM_POWER_CAPABILITIES) == 0x4C);

GetPwrCapabilitiesFunction* getPwrCapabilities() noexcept {
    // Kept for the rest of the run, as the other system libraries are.
    static auto* const function = systemFunction<GetPwrCapabilitiesFunction>(
        systemLibrary(L"powrprof.dll"), "GetPwrCapabilities");
    return function;
}

} // namespace

std::optional<PowerCapabilities> PowerCapabilitiesWin32::query() {
    GetPwrCapabilitiesFunction* const function = getPwrCapabilities();
    if (function == nullptr) {
        return std::nullopt;
    }
    // Asked afresh at every activation: the answer changes when an administrator switches
    // hibernation on or off.
    SYSTEM_POWER_CAPABILITIES answer{};
    if (function(&answer) == FALSE) {
        return std::nullopt;
    }
    PowerCapabilities capabilities;
    capabilities.s1 = answer.SystemS1 != FALSE;
    capabilities.s2 = answer.SystemS2 != FALSE;
    capabilities.s3 = answer.SystemS3 != FALSE;
    capabilities.s4 = answer.SystemS4 != FALSE;
    capabilities.hiberFilePresent = answer.HiberFilePresent != FALSE;
    capabilities.lowPowerIdle = reinterpret_cast<const BYTE*>(&answer)[kAoAcOffset] != 0;
    return capabilities;
}

} // namespace zorvo
