#include "power/power_actions.h"

#include <gtest/gtest.h>

#include <string>

namespace zorvo {
namespace {

TEST(WmiRequest, ShutdownAndRebootDifferOnlyByTheBlankAfterTheComma) {
    const WmiRequest shutdown = wmiRequestFor(WmiMethod::ShutDown);
    const WmiRequest reboot = wmiRequestFor(WmiMethod::Reboot);
    EXPECT_EQ(std::wstring(shutdown.moniker),
              LR"(winmgmts:{impersonationLevel=impersonate,(Shutdown)}!\\.\root\cimv2)");
    EXPECT_EQ(std::wstring(reboot.moniker),
              LR"(winmgmts:{impersonationLevel=impersonate, (Shutdown)}!\\.\root\cimv2)");
    EXPECT_EQ(std::wstring(shutdown.query), L"Select * from Win32_OperatingSystem");
    EXPECT_EQ(std::wstring(reboot.query), L"Select * from Win32_OperatingSystem");
    EXPECT_EQ(std::wstring(shutdown.method), L"ShutDown");
    EXPECT_EQ(std::wstring(reboot.method), L"Reboot");
}

} // namespace
} // namespace zorvo
