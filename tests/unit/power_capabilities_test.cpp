#include <gtest/gtest.h>

#include <set>

#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

/// Every answer the system could give: the five flags in all 32 combinations.
std::vector<PowerCapabilities> everyAnswer() {
    std::vector<PowerCapabilities> answers;
    for (unsigned bits = 0; bits < 32; ++bits) {
        answers.push_back({(bits & 1U) != 0, (bits & 2U) != 0, (bits & 4U) != 0, (bits & 8U) != 0,
                           (bits & 16U) != 0});
    }
    return answers;
}

std::string describe(const PowerCapabilities& a) {
    return std::string("S1=") + (a.s1 ? "1" : "0") + " S2=" + (a.s2 ? "1" : "0") +
           " S3=" + (a.s3 ? "1" : "0") + " S4=" + (a.s4 ? "1" : "0") +
           " file=" + (a.hiberFilePresent ? "1" : "0");
}

TEST(SleepTaskCheck, EveryAnswerForBothTasks) {
    int standbyAllowed = 0;
    int hibernateAllowed = 0;
    for (const PowerCapabilities& answer : everyAnswer()) {
        SCOPED_TRACE(describe(answer));
        const SleepRefusal standby = checkSleepTask(SleepTask::Standby, answer);
        const SleepRefusal hibernate = checkSleepTask(SleepTask::Hibernate, answer);
        // Any one of the three shallow states will do for standby; hibernation's flags do not
        // matter to it.
        EXPECT_EQ(standby, answer.s1 || answer.s2 || answer.s3 ? SleepRefusal::None
                                                               : SleepRefusal::NoStandby);
        if (!answer.s4) {
            EXPECT_EQ(hibernate, SleepRefusal::NoHibernation);
        } else if (!answer.hiberFilePresent) {
            EXPECT_EQ(hibernate, SleepRefusal::HibernationFileMissing);
        } else {
            EXPECT_EQ(hibernate, SleepRefusal::None);
        }
        standbyAllowed += standby == SleepRefusal::None;
        hibernateAllowed += hibernate == SleepRefusal::None;
    }
    EXPECT_EQ(standbyAllowed, 28) << "4 of 32 answers lack S1, S2 and S3";
    EXPECT_EQ(hibernateAllowed, 8) << "8 of 32 answers have S4 and the file";
}

TEST(SleepTaskCheck, NamedMachinesAndAnUnknownAnswer) {
    const PowerCapabilities wine{true, false, false, true, true};
    EXPECT_EQ(checkSleepTask(SleepTask::Standby, wine), SleepRefusal::None);
    EXPECT_EQ(checkSleepTask(SleepTask::Hibernate, wine), SleepRefusal::None);

    // A Modern Standby laptop: no S1 to S3, hibernation on.
    const PowerCapabilities modernStandby{false, false, false, true, true};
    EXPECT_EQ(checkSleepTask(SleepTask::Standby, modernStandby), SleepRefusal::NoStandby);
    EXPECT_EQ(checkSleepTask(SleepTask::Hibernate, modernStandby), SleepRefusal::None);

    // "powercfg /h off" on a desktop: S3 stays, the file goes.
    const PowerCapabilities hibernationOff{false, false, true, true, false};
    EXPECT_EQ(checkSleepTask(SleepTask::Standby, hibernationOff), SleepRefusal::None);
    EXPECT_EQ(checkSleepTask(SleepTask::Hibernate, hibernationOff),
              SleepRefusal::HibernationFileMissing);

    // Nobody can tell: count down as ever.
    EXPECT_EQ(checkSleepTask(SleepTask::Standby, std::nullopt), SleepRefusal::None);
    EXPECT_EQ(checkSleepTask(SleepTask::Hibernate, std::nullopt), SleepRefusal::None);
}

TEST(SleepTaskCheck, EachRefusalSaysWhatAndWhatToDo) {
    const std::wstring standby = refusalMessage(SleepRefusal::NoStandby);
    const std::wstring noS4 = refusalMessage(SleepRefusal::NoHibernation);
    const std::wstring noFile = refusalMessage(SleepRefusal::HibernationFileMissing);
    EXPECT_EQ(std::set<std::wstring>({standby, noS4, noFile}).size(), 3u);
    EXPECT_EQ(std::wstring(refusalMessage(SleepRefusal::None)), L"");
    EXPECT_NE(standby.find(L"ждущий режим"), std::wstring::npos);
    EXPECT_NE(standby.find(L"Modern Standby"), std::wstring::npos);
    EXPECT_EQ(standby.find(L"powercfg"), std::wstring::npos) << "no command would help";
    for (const std::wstring& text : {noS4, noFile}) {
        EXPECT_NE(text.find(L"спящий режим"), std::wstring::npos);
        EXPECT_NE(text.find(L"администратор"), std::wstring::npos);
        EXPECT_NE(text.find(L" powercfg /h on"), std::wstring::npos);
    }
    for (const std::wstring& text : {standby, noS4, noFile}) {
        EXPECT_NE(text.find(L"Отсчёт не запущен."), std::wstring::npos);
        EXPECT_EQ(text.find(L"\n"), text.find(L"\r\n") + 1) << "line breaks are CR LF";
    }
}

// ---- Activation asks before it counts down ----------------------------------------------------

struct RefusedActivation : ::testing::Test {
    MainHarness h;
    void SetUp() override {
        h.start();
        h.capabilities.answer = PowerCapabilities{false, false, false, false, false};
        h.capabilities.queries = 0;
    }
    /// Nothing of a countdown happened: the window idle, the tray as at the start.
    void expectIdle(std::size_t trayCalls) {
        EXPECT_FALSE(h.Timer3.enabled());
        EXPECT_FALSE(h.Timer4.enabled()) << "activation stopped before its first step";
        EXPECT_TRUE(h.lblActivate.enabled() && h.mnuActive.enabled() && h.Combo1.enabled());
        EXPECT_FALSE(h.lblReset.visible() || h.mnuReset.enabled());
        EXPECT_FALSE(h.actions.awake);
        EXPECT_EQ(h.tray.calls.size(), trayCalls);
        EXPECT_EQ(h.form.caption(), L"Zorvo v.1.3.0.5");
    }
};

TEST_F(RefusedActivation, EveryWayOfActivatingAsksAndStaysIdle) {
    struct Way {
        const char* name;
        void (*activate)(frmMain&);
    };
    const Way ways[] = {
        {"lblActivate", [](frmMain& f) { f.lblActivate_Click(); }},
        {"mnuActive (Ctrl+A)", [](frmMain& f) { f.mnuActive_Click(); }},
        {"Enter in Combo1", [](frmMain& f) { f.Combo1_KeyDown(13, 0); }},
    };
    for (auto select : {&frmMain::mnuWait_Click, &frmMain::mnuSleep_Click}) {
        for (const Way& way : ways) {
            SCOPED_TRACE(way.name);
            (h.form_.*select)();
            const std::size_t trayCalls = h.tray.calls.size();
            h.messages.shown.clear();
            const int queries = h.capabilities.queries;
            way.activate(h.form_);
            EXPECT_EQ(h.capabilities.queries, queries + 1);
            ASSERT_EQ(h.messages.shown.size(), 1u);
            EXPECT_EQ(h.messages.shown[0], refusalMessage(select == &frmMain::mnuWait_Click
                                                              ? SleepRefusal::NoStandby
                                                              : SleepRefusal::NoHibernation));
            expectIdle(trayCalls);
            EXPECT_TRUE(select == &frmMain::mnuWait_Click ? h.mnuWait.checked()
                                                          : h.mnuSleep.checked())
                << "the task stays selected";
            h.ticks(70);
            EXPECT_FALSE(h.form.closed);
        }
    }
}

TEST_F(RefusedActivation, OtherTasksAreNeverAskedAbout) {
    for (auto select :
         {&frmMain::mnuShutDown_Click, &frmMain::mnuReboot_Click, &frmMain::mnuAlarm_Click}) {
        MainHarness run;
        run.start();
        run.capabilities.answer = PowerCapabilities{};
        (run.form_.*select)();
        run.form_.lblActivate_Click();
        EXPECT_EQ(run.capabilities.queries, 0);
        EXPECT_TRUE(run.Timer3.enabled());
        EXPECT_TRUE(run.messages.shown.empty());
    }
}

TEST_F(RefusedActivation, AnUnknownAnswerCountsDownAndEachActivationAsksAfresh) {
    h.form_.mnuSleep_Click();
    h.capabilities.answer = std::nullopt;
    h.form_.lblActivate_Click();
    EXPECT_TRUE(h.Timer3.enabled()) << "the call failed: count down as ever";
    EXPECT_TRUE(h.messages.shown.empty());
    h.form_.lblReset_Click();

    h.capabilities.answer = PowerCapabilities{false, false, true, true, false};
    h.form_.lblActivate_Click();
    EXPECT_FALSE(h.Timer3.enabled());
    EXPECT_EQ(h.messages.shown.size(), 1u);

    // An administrator switched hibernation on meanwhile.
    h.capabilities.answer->hiberFilePresent = true;
    h.form_.lblActivate_Click();
    EXPECT_TRUE(h.Timer3.enabled());
    EXPECT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.capabilities.queries, 3);
    h.ticks(60);
    EXPECT_EQ(h.journal.back(), "close");
    EXPECT_NE(std::find(h.journal.begin(), h.journal.end(), "NTSleep"), h.journal.end());
}

// A start from the command line or a batch file, whatever window it asked for.
TEST(RefusedCommandLine, TheWindowIsShownIdleWithTheTaskSelected) {
    for (std::int32_t view : {kViewNormal, kViewMinimized, kViewTray, kViewHidden}) {
        for (std::int32_t task : {kTaskStandby, kTaskHibernate}) {
            SCOPED_TRACE(testing::Message() << "view " << view << " task " << task);
            MainHarness run;
            run.power.task = task;
            run.power.view = view;
            run.power.delay = 5;
            run.capabilities.answer = PowerCapabilities{false, false, false, true, false};
            run.form_.Form_Load();
            // Started from a shortcut set to "Minimized".
            run.form.setWindowState(ui::WindowState::Minimized);
            run.form_.Form_Activate();
            ASSERT_EQ(run.messages.shown.size(), 1u);
            EXPECT_TRUE(run.form.visible());
            EXPECT_EQ(run.form.windowState(), ui::WindowState::Normal);
            EXPECT_TRUE(run.form.inTaskbar);
            EXPECT_NE(run.tray.last().operation, TrayOperation::Delete);
            EXPECT_FALSE(run.Timer3.enabled());
            EXPECT_TRUE(run.lblActivate.enabled());
            EXPECT_TRUE(task == kTaskStandby ? run.mnuWait.checked() : run.mnuSleep.checked());
            EXPECT_EQ(run.Combo1.text(), L"5") << "the delay asked for is kept for a retry";
        }
    }
}

TEST(RefusedCommandLine, AnAllowedTaskStillTakesItsWindowMode) {
    MainHarness run;
    run.power.task = kTaskHibernate;
    run.power.view = kViewTray;
    run.start();
    EXPECT_EQ(run.capabilities.queries, 1);
    EXPECT_TRUE(run.Timer3.enabled());
    EXPECT_FALSE(run.form.visible());
    EXPECT_TRUE(run.messages.shown.empty());
}

} // namespace
} // namespace zorvo
