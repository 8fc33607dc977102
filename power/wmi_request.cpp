#include "power/power_actions.h"

namespace zorvo {

WmiRequest wmiRequestFor(WmiMethod method) {
    constexpr const wchar_t* kQuery = L"Select * from Win32_OperatingSystem";
    if (method == WmiMethod::ShutDown) {
        return {L"winmgmts:{impersonationLevel=impersonate,(Shutdown)}!\\\\.\\root\\cimv2", kQuery,
                L"ShutDown"};
    }
    return {L"winmgmts:{impersonationLevel=impersonate, (Shutdown)}!\\\\.\\root\\cimv2", kQuery,
            L"Reboot"};
}

} // namespace zorvo
