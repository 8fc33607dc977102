#include "power/power_capabilities_win32.h"

#include <windows.h>

#include "core/system_library_win32.h"

namespace zorvo {
namespace {

// Declared in powrprof.h (powerbase.h in newer SDKs); spelled out so that the header that holds
// it does not matter.
using GetPwrCapabilitiesFunction = BOOLEAN WINAPI(PSYSTEM_POWER_CAPABILITIES);

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
    return capabilities;
}

} // namespace zorvo
