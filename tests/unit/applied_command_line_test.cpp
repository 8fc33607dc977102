#include <gtest/gtest.h>

#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

struct AppliedCommandLine : ::testing::Test {
    MainHarness h;
    void startWith(std::int32_t delay, std::int32_t task, std::int32_t view) {
        h.power.delay = delay;
        h.power.task = task;
        h.power.view = view;
        h.start();
    }
};

TEST_F(AppliedCommandLine, DelayIsAskedOnceForOneAndFourTimesWhenApplied) {
    startWith(1, 1, 1);
    EXPECT_EQ(h.power.ptimeCalls, 1);
    EXPECT_EQ(h.power.paramCalls, 1);
    EXPECT_EQ(h.power.viewCalls, 1);
    EXPECT_FALSE(h.Timer3.enabled());

    MainHarness run;
    run.power.delay = 90;
    run.power.task = kTaskAlarm;
    run.start();
    EXPECT_EQ(run.power.ptimeCalls, 4);
    EXPECT_EQ(run.power.paramCalls, 2);
    EXPECT_EQ(run.Combo1.text(), L"90");
    EXPECT_EQ(run.lblH.caption(), L"1:30");
    EXPECT_TRUE(run.mnuAlarm.checked());
    EXPECT_TRUE(run.Timer3.enabled());
    EXPECT_EQ(run.form_.RemainingMinutes, 89);
    EXPECT_TRUE(run.messages.shown.empty());
}

TEST_F(AppliedCommandLine, DelaysFromOneTo360AreTakenOthersLeaveOneMinute) {
    for (const auto& [delay, hours] : {std::pair{2, L"0:02"}, {59, L"0:59"}, {360, L"6:00"}}) {
        MainHarness run;
        run.power.delay = delay;
        run.power.task = kTaskReboot;
        run.start();
        EXPECT_EQ(run.Combo1.text(), std::to_wstring(delay));
        EXPECT_EQ(run.lblH.caption(), hours);
        EXPECT_EQ(run.form_.RemainingMinutes, delay - 1);
        EXPECT_TRUE(run.messages.shown.empty()) << delay;
    }
    for (std::int32_t delay : {0, 400, -3, 361}) {
        MainHarness run;
        run.power.delay = delay;
        run.power.task = kTaskReboot;
        run.start();
        EXPECT_EQ(run.Combo1.text(), L"1") << delay;
        EXPECT_EQ(run.lblH.caption(), L"0:01");
        EXPECT_TRUE(run.mnuReboot.checked());
        EXPECT_EQ(run.form_.RemainingMinutes, 0);
        EXPECT_TRUE(run.messages.shown.empty());
    }
}

TEST_F(AppliedCommandLine, EachTaskCodeStartsItsTask) {
    struct Case {
        std::int32_t code;
        fakes::FakeMenuItem MainHarness::*item;
    };
    const Case cases[] = {{kTaskShutdown, &MainHarness::mnuShutDown},
                          {kTaskStandby, &MainHarness::mnuWait},
                          {kTaskReboot, &MainHarness::mnuReboot},
                          {kTaskHibernate, &MainHarness::mnuSleep},
                          {kTaskAlarm, &MainHarness::mnuAlarm}};
    for (const Case& c : cases) {
        MainHarness run;
        run.power.delay = 5;
        run.power.task = c.code;
        run.start();
        EXPECT_TRUE((run.*c.item).checked()) << c.code;
        EXPECT_TRUE(run.Timer3.enabled());
        EXPECT_FALSE(run.lblActivate.enabled());
        EXPECT_EQ(run.form_.RemainingMinutes, 4);
    }
    for (std::int32_t code : {2, 6, 9, 0}) {
        MainHarness run;
        run.power.task = code;
        run.power.view = kViewMinimized;
        run.start();
        EXPECT_FALSE(run.Timer3.enabled()) << code;
        EXPECT_TRUE(run.mnuShutDown.checked());
        EXPECT_EQ(run.form.windowState(), WindowState::Minimized) << "the mode still applies";
    }
}

TEST_F(AppliedCommandLine, WindowModes) {
    {
        MainHarness run;
        run.power.view = kViewTray;
        run.power.task = kTaskShutdown;
        run.start();
        EXPECT_FALSE(run.form.visible());
        EXPECT_TRUE(run.form.inTaskbar);
        EXPECT_TRUE(run.Timer4.enabled());
        EXPECT_EQ(run.form_.HiddenTickCount, 0);
        EXPECT_EQ(run.tray.last().operation, TrayOperation::Add);
        EXPECT_EQ(run.tray.last().record.tipText(), L"Zorvo запущен: Выключение");
    }
    {
        MainHarness run;
        run.power.view = kViewHidden;
        run.power.task = kTaskAlarm;
        run.start();
        EXPECT_FALSE(run.form.visible());
        EXPECT_FALSE(run.form.inTaskbar);
        EXPECT_EQ(run.form.windowState(), WindowState::Minimized);
        EXPECT_EQ(run.tray.last().operation, TrayOperation::Delete);
        EXPECT_TRUE(run.Timer3.enabled() && run.Timer4.enabled());
        const std::size_t calls = run.tray.calls.size();
        run.form_.TaskbarCreated();
        EXPECT_EQ(run.tray.calls.size(), calls) << "a deleted icon stays deleted";
        run.form_.mnuTray_Click(); // hiding to the tray brings the icon back
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

TEST_F(AppliedCommandLine, AppliedOnceHoweverOftenTheWindowComesBack) {
    startWith(30, kTaskShutdown, 1);
    h.ticks(10);
    for (int i = 0; i < 3; ++i) {
        h.form_.Form_Deactivate();
        h.form_.Form_Activate();
    }
    EXPECT_EQ(h.power.paramCalls, 2);
    h.form_.Timer3_Timer();
    EXPECT_EQ(h.form.caption(), L"Zorvo - до выключения осталось 29 мин 49 сек");

    h.form_.DeactivationCount = 32766;
    h.form_.Form_Deactivate();
    h.form_.Form_Deactivate();
    EXPECT_EQ(h.form_.DeactivationCount, 32767) << "saturates instead of overflowing";
}

TEST_F(AppliedCommandLine, AppliedOnceWhenNoDeactivationCameBetween) {
    // Started minimised without activation: the first real activation is the user restoring the
    // window minutes later. The countdown and the window must be left as they are.
    startWith(5, kTaskAlarm, kViewMinimized);
    h.ticks(4);
    h.form.setWindowState(WindowState::Normal);
    h.form_.Form_Activate();
    h.form_.Form_Activate();
    EXPECT_EQ(h.form.windowState(), WindowState::Normal) << "not minimised again";
    EXPECT_EQ(h.power.paramCalls, 2);
    EXPECT_EQ(h.power.viewCalls, 2);
    h.form_.Timer3_Timer();
    EXPECT_EQ(h.form.caption(), L"Zorvo - подача звукового сигнала через 4 мин 55 сек");

    MainHarness tray; // hidden in the tray, brought back by a double click on the icon
    tray.power.task = kTaskReboot;
    tray.power.view = kViewTray;
    tray.start();
    tray.ticks(2);
    tray.form_.TrayIcon_Message(0x203);
    tray.form_.Form_Activate();
    EXPECT_TRUE(tray.form.visible());
    EXPECT_EQ(tray.form.windowState(), WindowState::Normal);
    tray.form_.Timer3_Timer();
    EXPECT_EQ(tray.form.caption(), L"Zorvo - до перезагрузки осталось 0 мин 57 сек");
}

TEST_F(AppliedCommandLine, FullyHiddenWithoutATaskStaysReachableThroughTheIcon) {
    startWith(5, 1, kViewHidden);
    EXPECT_FALSE(h.form.visible());
    EXPECT_TRUE(h.form.inTaskbar);
    EXPECT_EQ(h.tray.last().operation, TrayOperation::Add);
    EXPECT_TRUE(h.Timer4.enabled()) << "the hot key brings it back too";
    const std::size_t calls = h.tray.calls.size();
    h.form_.TaskbarCreated();
    EXPECT_EQ(h.tray.calls.size(), calls + 1) << "the icon comes back after a shell restart";
    h.form_.TrayIcon_Message(0x203);
    EXPECT_TRUE(h.form.visible());
}

} // namespace
} // namespace zorvo
