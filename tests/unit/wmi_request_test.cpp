#include <set>
#include <string>

#include <gtest/gtest.h>

#include "power/power_actions.h"

namespace zorvo {
namespace {

/// A WMI moniker taken apart: "winmgmts:" "{" settings, comma-separated "}" "!" object path.
struct Moniker {
    std::wstring scheme;
    std::set<std::wstring> settings; // each one trimmed of blanks
    std::wstring path;
};

std::wstring trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L' ');
    const auto last = text.find_last_not_of(L' ');
    return first == std::wstring::npos ? L"" : text.substr(first, last - first + 1);
}

Moniker parse(const std::wstring& text) {
    Moniker m;
    const auto colon = text.find(L':');
    const auto open = text.find(L'{');
    const auto close = text.find(L"}!");
    if (colon == std::wstring::npos || open != colon + 1 || close == std::wstring::npos) {
        ADD_FAILURE() << "not a moniker with security settings: " << testing::PrintToString(text);
        return m;
    }
    m.scheme = text.substr(0, colon);
    std::wstring settings = text.substr(open + 1, close - open - 1);
    for (std::size_t start = 0;;) {
        const auto comma = settings.find(L',', start);
        m.settings.insert(trimmed(settings.substr(start, comma - start)));
        if (comma == std::wstring::npos) {
            break;
        }
        start = comma + 1;
    }
    m.path = text.substr(close + 2);
    return m;
}

// What the system needs from the request: the local machine's standard namespace, the caller's
// identity, the privilege to shut down, and the operating system object whose method is called.
TEST(WmiRequest, EachMethodAsksForTheShutdownPrivilegeOnTheLocalOperatingSystem) {
    for (const WmiMethod method : {WmiMethod::ShutDown, WmiMethod::Reboot}) {
        const WmiRequest request = wmiRequestFor(method);
        const Moniker moniker = parse(request.moniker);
        EXPECT_EQ(moniker.scheme, L"winmgmts");
        EXPECT_EQ(moniker.settings,
                  (std::set<std::wstring>{L"impersonationLevel=impersonate", L"(Shutdown)"}));
        EXPECT_EQ(moniker.path, LR"(\\.\root\cimv2)");
        EXPECT_EQ(std::wstring(request.query), L"Select * from Win32_OperatingSystem");
    }
    EXPECT_EQ(std::wstring(wmiRequestFor(WmiMethod::ShutDown).method), L"ShutDown");
    EXPECT_EQ(std::wstring(wmiRequestFor(WmiMethod::Reboot).method), L"Reboot");
}

} // namespace
} // namespace zorvo
