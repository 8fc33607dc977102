#include <gtest/gtest.h>

#include "core/tray_icon_record.h"
#include "fakes.h"

namespace zorvo {
namespace {

TEST(TrayIconRecord, TipIsCutAtItsNul) {
    TrayIconRecord r;
    r.setTip(L"Zorvo запущен: Подача звукового сигнала");
    EXPECT_EQ(r.tipField.size(), 48u);
    EXPECT_EQ(r.tipText(), L"Zorvo запущен: Подача звукового сигнала");
    r.setTip(L"Zorvo запущен: Ждущий режим");
    EXPECT_EQ(r.tipText(), L"Zorvo запущен: Ждущий режим") << "a shorter tip leaves no rest";
    for (const std::size_t length : {48u, 60u}) {
        r.setTip(std::wstring(length, L'x'));
        EXPECT_EQ(r.tipText(), std::wstring(47, L'x')) << "the NUL always fits";
        EXPECT_EQ(r.tipField.size(), 48u);
    }
}

// The shell finds an icon by its window and identifier: a change or a removal that named another
// would leave the old icon behind. Its clicks must come back as the message the window takes for
// the icon's, and every add or change must carry the picture and the tip.
TEST(TrayIconRecord, EveryOperationOfARunNamesTheOneIconTheWindowListensTo) {
    fakes::MainHarness h;
    h.start();
    h.click(L"lblActivate");
    h.send(L"Timer3", Event::Timer);
    h.click(L"mnuAlarm");
    h.click(L"mnuReset");
    h.click(L"mnuTray");
    h.click(L"mnuExit");

    ASSERT_GE(h.tray.calls.size(), 6u);
    EXPECT_EQ(h.tray.calls.front().operation, TrayOperation::Add);
    EXPECT_EQ(h.tray.calls.back().operation, TrayOperation::Delete) << "the icon goes at the end";
    constexpr std::uint32_t kMessageIconTip = 1 | 2 | 4;
    for (const fakes::FakeTray::Call& call : h.tray.calls) {
        EXPECT_EQ(call.record.window, fakes::MainHarness::kWindow);
        EXPECT_EQ(call.record.identifier, TrayIconRecord::kIdentifier);
        EXPECT_EQ(call.record.callbackMessage, TrayIconRecord::kCallbackMessage);
        if (call.operation != TrayOperation::Delete) {
            EXPECT_EQ(call.record.flags & kMessageIconTip, kMessageIconTip);
        }
    }
}

} // namespace
} // namespace zorvo
