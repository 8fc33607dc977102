#include <gtest/gtest.h>

#include "fakes.h"
#include "power/keep_awake.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

TEST(SleepTaskCheck, EveryAnswerForBothTasks) {
    for (unsigned bits = 0; bits < 32; ++bits) {
        const PowerCapabilities a{(bits & 1U) != 0, (bits & 2U) != 0, (bits & 4U) != 0,
                                  (bits & 8U) != 0, (bits & 16U) != 0};
        SCOPED_TRACE(testing::Message() << "S1 S2 S3 S4 file bits " << bits);
        // Any one of the three shallow states will do for standby.
        EXPECT_EQ(checkSleepTask(SleepTask::Standby, a),
                  a.s1 || a.s2 || a.s3 ? SleepRefusal::None : SleepRefusal::NoStandby);
        EXPECT_EQ(checkSleepTask(SleepTask::Hibernate, a),
                  !a.s4                 ? SleepRefusal::NoHibernation
                  : !a.hiberFilePresent ? SleepRefusal::HibernationFileMissing
                                        : SleepRefusal::None);
    }
    // Nobody can tell: count down as ever.
    EXPECT_EQ(checkSleepTask(SleepTask::Standby, std::nullopt), SleepRefusal::None);
    EXPECT_EQ(checkSleepTask(SleepTask::Hibernate, std::nullopt), SleepRefusal::None);
}

TEST(SleepTaskCheck, EachRefusalSaysWhatToDo) {
    const std::wstring standby = refusalMessage(SleepRefusal::NoStandby);
    EXPECT_NE(standby.find(L"Modern Standby"), std::wstring::npos);
    for (auto refusal : {SleepRefusal::NoHibernation, SleepRefusal::HibernationFileMissing}) {
        const std::wstring text = refusalMessage(refusal);
        EXPECT_NE(text.find(L"спящий режим"), std::wstring::npos);
        EXPECT_NE(text.find(L"администратор"), std::wstring::npos);
        EXPECT_NE(text.find(L" powercfg /h on"), std::wstring::npos);
        EXPECT_NE(text, standby);
    }
}

/// A computer as the test sets it; counts how often it is asked about Modern Standby.
struct FakePowerSource final : PowerSource {
    bool modernStandby = false, battery = false;
    int standbyAsked = 0;
    bool lowPowerIdle() override { return ++standbyAsked, modernStandby; }
    bool onBattery() override { return battery; }
};

// Only the display holds a Modern Standby computer on battery up; elsewhere it stays dark.
// Steps: + a countdown starts, - it ends, b and m the computer goes over to battery or mains.
TEST(KeepAwake, TheDisplayTooWhileCountingOnAModernStandbyComputerOnBattery) {
    constexpr std::optional<AwakeHold> kSame;
    constexpr auto kNone = AwakeHold::None, kSystem = AwakeHold::System,
                   kDisplay = AwakeHold::SystemAndDisplay;
    struct Case {
        bool modernStandby;
        const char* steps;
        std::vector<std::optional<AwakeHold>> holds;
    };
    const Case cases[] = {
        {false, "b+m-", {kSame, kSystem, kSame, kNone}},
        {true, "+bmb-", {kSystem, kDisplay, kSystem, kDisplay, kNone}},
        {true, "b+-+", {kSame, kDisplay, kNone, kDisplay}},
        {true, "b+-m", {kSame, kDisplay, kNone, kSame}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.steps << " modern standby " << c.modernStandby);
        FakePowerSource source;
        source.modernStandby = c.modernStandby;
        KeepAwake awake(source);
        std::vector<std::optional<AwakeHold>> holds;
        for (const char* step = c.steps; *step != '\0'; ++step) {
            if (*step == '+' || *step == '-') {
                holds.push_back(awake.counting(*step == '+'));
            } else {
                source.battery = *step == 'b';
                holds.push_back(awake.powerSourceChanged());
            }
        }
        EXPECT_EQ(holds, c.holds);
        EXPECT_EQ(source.standbyAsked, 1) << "asked once, when first counting";
    }
}

// A refusal leaves the window idle, in sight, the task selected: after a click (every way of
// activating goes through lblActivate_Click) and after a start from the command line or a batch
// file that asked for a hidden window, from a shortcut set to "Minimized"; the delay asked for is
// kept for a retry.
TEST(RefusedActivation, ARefusedActivationStaysIdleInSight) {
    for (bool commandLine : {true, false}) {
        MainHarness run;
        run.capabilities.answer = PowerCapabilities{false, false, false, false, false};
        if (commandLine) {
            run.power.task = kTaskStandby;
            run.power.view = kViewHidden;
            run.power.delay = 5;
            run.form_.Form_Load();
            run.form.setWindowState(WindowState::Minimized);
            run.form_.Form_Activate();
        } else {
            run.start();
            run.click(L"mnuSleep");
            run.click(L"lblActivate");
        }
        ASSERT_EQ(run.messages.shown.size(), 1u);
        EXPECT_EQ(run.messages.shown[0], refusalMessage(commandLine ? SleepRefusal::NoStandby
                                                                    : SleepRefusal::NoHibernation));
        EXPECT_FALSE(run.Timer3.enabled() || run.Timer4.enabled() || run.actions.awake);
        EXPECT_TRUE(run.lblActivate.enabled() && run.Combo1.enabled());
        EXPECT_TRUE(run.form.visible() && run.form.inTaskbar);
        EXPECT_EQ(run.form.windowState(), WindowState::Normal);
        EXPECT_EQ(run.tray.calls.size(), 1u);
        EXPECT_TRUE(commandLine ? run.mnuWait.checked() : run.mnuSleep.checked());
        EXPECT_EQ(run.Combo1.text(), commandLine ? L"5" : L"1");
    }
}

// Counting down already: a change to a task the computer cannot do is refused at once, and the
// countdown goes on with the task it had; one it can do is taken as ever.
TEST(RefusedActivation, AChangeOfTaskWhileCountingDownIsAskedToo) {
    fakes::StartedMain run;
    run.click(L"mnuShutDown");
    run.click(L"lblActivate");
    ASSERT_TRUE(run.Timer3.enabled());
    run.capabilities.answer = PowerCapabilities{true, false, false, true, false};
    run.click(L"mnuSleep");
    ASSERT_EQ(run.messages.shown.size(), 1u);
    EXPECT_EQ(run.messages.shown[0], refusalMessage(SleepRefusal::HibernationFileMissing));
    EXPECT_TRUE(run.mnuShutDown.checked() && !run.mnuSleep.checked());
    EXPECT_TRUE(run.Timer3.enabled());

    run.click(L"mnuWait");
    EXPECT_EQ(run.messages.shown.size(), 1u);
    EXPECT_TRUE(run.mnuWait.checked() && !run.mnuShutDown.checked());
    EXPECT_EQ(run.lblEnter.caption(), L"Zorvo настроен на ждущий режим");
    // Idle, the choice is free: activation asks.
    run.click(L"mnuReset");
    run.click(L"mnuSleep");
    EXPECT_TRUE(run.mnuSleep.checked());
    EXPECT_EQ(run.messages.shown.size(), 1u);
}

} // namespace
} // namespace zorvo
