#include <string>

#include <gtest/gtest.h>

#include "power/power_actions.h"

namespace zorvo {
namespace {

// What the system needs from the request: the local machine's standard namespace, the caller's
// identity, the privilege to shut down, and the operating system object whose method is called.
TEST(WmiRequest, EachMethodAsksForTheShutdownPrivilegeOnTheLocalOperatingSystem) {
    for (const WmiMethod method : {WmiMethod::ShutDown, WmiMethod::Reboot}) {
        const WmiRequest request = wmiRequestFor(method);
        std::wstring moniker = request.moniker;
        std::erase(moniker, L' '); // blanks between the settings mean nothing
        EXPECT_EQ(moniker,
                  LR"(winmgmts:{impersonationLevel=impersonate,(Shutdown)}!\\.\root\cimv2)");
        EXPECT_EQ(std::wstring(request.query), L"Select * from Win32_OperatingSystem");
    }
    EXPECT_EQ(std::wstring(wmiRequestFor(WmiMethod::ShutDown).method), L"ShutDown");
    EXPECT_EQ(std::wstring(wmiRequestFor(WmiMethod::Reboot).method), L"Reboot");
}

} // namespace
} // namespace zorvo
