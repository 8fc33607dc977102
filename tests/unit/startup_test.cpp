#include <gtest/gtest.h>

#include "app/start_checks.h"
#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

// The harness makes every control as the design says; what a start leaves is the design as
// Form_Load turns it.
TEST(Startup, LoadTurnsTheDesignIntoTheStartState) {
    MainHarness h;
    h.form_.Form_Load();

    EXPECT_TRUE(h.mnuShutDown.checked());
    for (auto* item : {&h.mnuReboot, &h.mnuAlarm, &h.mnuWait, &h.mnuSleep, &h.mnuLog, &h.mnuTopM}) {
        EXPECT_FALSE(item->checked());
    }
    EXPECT_FALSE(h.lblLog.visible()) << "logging is off at every start";
    ASSERT_EQ(h.Combo1.itemCount(), 360);
    EXPECT_EQ(h.Combo1.item(0), L"1");
    EXPECT_EQ(h.Combo1.item(359), L"360");
    EXPECT_EQ(h.Combo1.text(), L"1");
    EXPECT_EQ(h.lblH.caption(), L"0:01");
    EXPECT_EQ(h.lblDate.caption(), L"07.12.2026");
    EXPECT_EQ(h.lblEnter.caption(), L"Zorvo настроен на выключение");
    EXPECT_EQ(h.form.caption(), std::wstring(L"Zorvo v.") + ZORVO_VERSION_WIDE);
    EXPECT_TRUE(h.Timer2.enabled()) << "the clock runs from the start";
    EXPECT_FALSE(h.Timer1.enabled() || h.Timer4.enabled() || h.mnuReset.enabled());
    EXPECT_TRUE(h.messages.shown.empty());

    ASSERT_EQ(h.tray.calls.size(), 1u);
    const TrayIconRecord& r = h.tray.calls[0].record;
    EXPECT_EQ(h.tray.calls[0].operation, TrayOperation::Add);
    EXPECT_EQ(r.window, MainHarness::kWindow);
    EXPECT_EQ(r.icon, MainHarness::kFormIcon);
    EXPECT_EQ(r.tipText(), L"Программа-Zorvo");
}

/// The checks that run before the main window exists, on the services a start gives them.
struct StartConditions : ::testing::Test {
    fakes::Journal journal;
    fakes::FakeProcess process;
    fakes::FakeFiles files{journal};
    fakes::FakeMessages messages{journal};
    LoadOutcome check() { return CheckStartConditions(process, files, messages); }
};

TEST_F(StartConditions, SecondCopyIsRefusedBeforeTheLibraryIsLookedAt) {
    process.another = true;
    files.openResults[L"C:\\Tools\\sleep.dll"] = OpenResult::NotFound;
    EXPECT_EQ(check(), LoadOutcome::EndProgram);
    EXPECT_EQ(messages.shown, std::vector<std::wstring>{L"Данная программа уже запущена!"});
}

TEST_F(StartConditions, OnlyAMissingLibraryStopsTheStart) {
    files.openResults[L"C:\\Tools\\sleep.dll"] = OpenResult::NotFound;
    EXPECT_EQ(check(), LoadOutcome::EndProgram);
    EXPECT_EQ(messages.shown,
              std::vector<std::wstring>{L"Файл sleep.dll не найден!\r\nЗаходите на сайт "
                                        L"https://zorvo.example/ для обновления"});

    messages.shown.clear();
    files.openResults[L"C:\\Tools\\sleep.dll"] = OpenResult::OtherFailure;
    EXPECT_EQ(check(), LoadOutcome::Continue);
    EXPECT_TRUE(messages.shown.empty());

    process.folder = L"D:\\"; // a drive root has its separator already
    files.openResults[L"D:\\sleep.dll"] = OpenResult::NotFound;
    EXPECT_EQ(check(), LoadOutcome::EndProgram);
}

} // namespace
} // namespace zorvo
