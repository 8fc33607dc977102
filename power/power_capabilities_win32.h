#pragma once
// What the system says about its sleep states, from powrprof.dll, loaded from the system folder
// when first asked for.

#include "power/power_capabilities.h"

namespace zorvo {

class PowerCapabilitiesWin32 final : public PowerCapabilitiesService {
public:
    /// None when powrprof.dll or its GetPwrCapabilities cannot be had, or when the call fails.
    std::optional<PowerCapabilities> query() override;
};

} // namespace zorvo
