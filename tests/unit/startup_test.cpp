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

// What a start with a task switch leaves: the delay in the box and in hours, the task selected
// and counting down; a delay outside 1 to 360 (or none) counts down one minute; a code that is no
// task starts nothing, while its window mode still applies.
TEST(AppliedCommandLine, EachTaskCodeAndDelay) {
    struct Case {
        std::int32_t task, delay;
        fakes::FakeMenuItem MainHarness::*item; ///< the task selected; nullptr: nothing starts
        const wchar_t *minutes, *hours;
    };
    const Case cases[] = {
        {kTaskAlarm, 90, &MainHarness::mnuAlarm, L"90", L"1:30"},
        {kTaskShutdown, 5, &MainHarness::mnuShutDown, L"5", L"0:05"},
        {kTaskStandby, 2, &MainHarness::mnuWait, L"2", L"0:02"},
        {kTaskHibernate, 59, &MainHarness::mnuSleep, L"59", L"0:59"},
        {kTaskReboot, 360, &MainHarness::mnuReboot, L"360", L"6:00"},
        {kTaskReboot, 0, &MainHarness::mnuReboot, L"1", L"0:01"},
        {kTaskReboot, 361, &MainHarness::mnuReboot, L"1", L"0:01"},
        {kTaskNone, 1, nullptr, L"1", L"0:01"},
        {2, 1, nullptr, L"1", L"0:01"},
        {6, 1, nullptr, L"1", L"0:01"},
        {0, 1, nullptr, L"1", L"0:01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "task " << c.task << " delay " << c.delay);
        MainHarness run;
        run.power.delay = c.delay;
        run.power.task = c.task;
        run.power.view = kViewMinimized;
        run.start();
        for (auto item : {&MainHarness::mnuShutDown, &MainHarness::mnuWait, &MainHarness::mnuReboot,
                          &MainHarness::mnuSleep, &MainHarness::mnuAlarm}) {
            EXPECT_EQ((run.*item).checked(), item == (c.item ? c.item : &MainHarness::mnuShutDown));
        }
        EXPECT_EQ(run.Timer3.enabled(), c.item != nullptr);
        EXPECT_EQ(run.lblActivate.enabled(), c.item == nullptr);
        EXPECT_EQ(run.Combo1.text(), c.minutes);
        EXPECT_EQ(run.lblH.caption(), c.hours);
        EXPECT_EQ(run.form_.RemainingMinutes, c.item ? std::stoi(c.minutes) - 1 : 0);
        EXPECT_EQ(run.form.windowState(), WindowState::Minimized) << "the mode applies";
        EXPECT_TRUE(run.messages.shown.empty());
    }
}

TEST(AppliedCommandLine, WindowModes) {
    for (const bool tray : {true, false}) { // else fully hidden
        MainHarness run;
        run.power.view = tray ? kViewTray : kViewHidden;
        run.power.task = tray ? kTaskShutdown : kTaskAlarm;
        run.start();
        EXPECT_FALSE(run.form.visible());
        EXPECT_EQ(run.form.inTaskbar, tray);
        EXPECT_TRUE(run.Timer4.enabled());
        EXPECT_EQ(run.tray.last().operation, tray ? TrayOperation::Add : TrayOperation::Delete);
        if (tray) {
            EXPECT_EQ(run.form_.HiddenTickCount, 0);
            EXPECT_EQ(run.tray.last().record.tipText(), L"Zorvo запущен: Выключение");
            continue;
        }
        EXPECT_EQ(run.form.windowState(), WindowState::Minimized);
        EXPECT_TRUE(run.Timer3.enabled());
        const std::size_t calls = run.tray.calls.size();
        run.form_.TaskbarCreated();
        EXPECT_EQ(run.tray.calls.size(), calls) << "a deleted icon stays deleted";
        run.click(L"mnuTray"); // hiding to the tray brings the icon back
        run.form_.TaskbarCreated();
        EXPECT_EQ(run.tray.calls.size(), calls + 2);
    }
    for (std::int32_t view : {0, 5, 99}) {
        MainHarness run;
        run.power.view = view;
        run.start();
        EXPECT_TRUE(run.form.visible());
        EXPECT_EQ(run.form.windowState(), WindowState::Normal);
    }
}

} // namespace
} // namespace zorvo
