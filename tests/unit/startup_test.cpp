#include <gtest/gtest.h>

#include "app/program_folder.h"
#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

TEST(Startup, LoadTurnsTheDesignIntoTheStartState) {
    MainHarness h;
    ASSERT_EQ(h.form_.Form_Load(), LoadOutcome::Continue);

    EXPECT_TRUE(h.mnuShutDown.checked());
    for (auto* item : {&h.mnuReboot, &h.mnuAlarm, &h.mnuWait, &h.mnuSleep, &h.mnuLog, &h.mnuTopM}) {
        EXPECT_FALSE(item->checked());
    }
    EXPECT_FALSE(h.mnuReset.enabled());
    EXPECT_TRUE(h.mnuActive.enabled());
    ASSERT_EQ(h.Combo1.itemCount(), 360);
    EXPECT_EQ(h.Combo1.item(0), L"1");
    EXPECT_EQ(h.Combo1.item(359), L"360");
    EXPECT_EQ(h.Combo1.text(), L"1");
    EXPECT_EQ(h.lblDate.caption(), L"07.12.2026");
    EXPECT_EQ(h.lblH.caption(), L"0:01");
    EXPECT_EQ(h.lblEnter.caption(), L"Zorvo настроен на выключение");
    EXPECT_FALSE(h.lblReset.visible());
    EXPECT_FALSE(h.lblLog.visible());
    EXPECT_TRUE(h.Timer2.enabled());
    EXPECT_FALSE(h.Timer1.enabled() || h.Timer3.enabled() || h.Timer4.enabled());
    EXPECT_TRUE(h.messages.shown.empty());

    ASSERT_EQ(h.tray.calls.size(), 1u);
    const TrayIconRecord& r = h.tray.calls[0].record;
    EXPECT_EQ(h.tray.calls[0].operation, TrayOperation::Add);
    EXPECT_EQ(r.size, 72u);
    EXPECT_EQ(r.window, MainHarness::kWindow);
    EXPECT_EQ(r.identifier, 1u);
    EXPECT_EQ(r.flags, 7u);
    EXPECT_EQ(r.callbackMessage, 0x200u);
    EXPECT_EQ(r.icon, MainHarness::kFormIcon);
    EXPECT_EQ(r.tipText(), L"Программа-Zorvo");
}

TEST(Startup, SecondCopyIsRefusedBeforeAnythingElse) {
    MainHarness h;
    h.process.another = true;
    h.files.openResults[L"C:\\Tools\\sleep.dll"] = OpenResult::NotFound;
    h.form_.DeactivationCount = 5;
    EXPECT_EQ(h.form_.Form_Load(), LoadOutcome::EndProgram);
    EXPECT_EQ(h.form_.DeactivationCount, 0);
    ASSERT_EQ(h.messages.shown, std::vector<std::wstring>{L"Данная программа уже запущена!"});
    EXPECT_TRUE(h.tray.calls.empty());
    EXPECT_EQ(h.Combo1.itemCount(), 0);
}

TEST(Startup, OnlyAMissingLibraryStopsTheStart) {
    const std::wstring message =
        L"Файл sleep.dll не найден!\r\nЗаходите на сайт https://zorvo.example/ для обновления";
    {
        MainHarness h;
        h.files.openResults[L"C:\\Tools\\sleep.dll"] = OpenResult::NotFound;
        EXPECT_EQ(h.form_.Form_Load(), LoadOutcome::EndProgram);
        EXPECT_EQ(h.messages.shown, std::vector<std::wstring>{message});
        EXPECT_TRUE(h.tray.calls.empty()) << "no icon may be left behind";
    }
    {
        MainHarness h;
        h.files.openResults[L"C:\\Tools\\sleep.dll"] = OpenResult::OtherFailure;
        EXPECT_EQ(h.form_.Form_Load(), LoadOutcome::Continue);
        EXPECT_TRUE(h.messages.shown.empty());
    }
    {
        MainHarness h; // a drive root has its separator already
        h.process.folder = L"D:\\";
        h.files.openResults[L"D:\\sleep.dll"] = OpenResult::NotFound;
        EXPECT_EQ(h.form_.Form_Load(), LoadOutcome::EndProgram);
    }
}

TEST(Startup, ProgramFolderPaths) {
    EXPECT_EQ(powerLibraryPath(L"C:\\"), L"C:\\sleep.dll");
    EXPECT_EQ(powerLibraryPath(L"C:\\Program Files\\Zorvo"),
              L"C:\\Program Files\\Zorvo\\sleep.dll");
    EXPECT_EQ(withTrailingSeparator(L"D:\\"), L"D:\\");
    EXPECT_EQ(withTrailingSeparator(L"D:\\a"), L"D:\\a\\");
}

} // namespace
} // namespace zorvo
