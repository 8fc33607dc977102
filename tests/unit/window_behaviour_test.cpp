// What the main window does with its icon, its top-most mark and its closing.

#include <gtest/gtest.h>

#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

TEST(WindowBehaviour, IconMessages) {
    MainHarness h;
    h.start();
    h.form_.mnuTray_Click();
    EXPECT_EQ(h.form.windowState(), WindowState::Minimized);
    for (int message : {0x200, 0x201, 0x202, 0x205}) {
        h.form_.lblActivate_MouseMove();
        h.form_.TrayIcon_Message(message);
        EXPECT_FALSE(h.form.visible()) << message;
        EXPECT_EQ(h.lblActivate.foreColour(), kButtonColour);
    }
    h.form_.TrayIcon_Message(0x203);
    EXPECT_TRUE(h.form.visible());
    EXPECT_EQ(h.form.windowState(), WindowState::Normal);
    EXPECT_TRUE(h.Timer4.enabled()) << "the double click leaves the poll running";
}

TEST(WindowBehaviour, TopMostFollowsTheCheckMark) {
    MainHarness h;
    h.start();
    h.form_.mnuTopM_Click();
    EXPECT_TRUE(h.mnuTopM.checked() && h.form.topMost);
    h.form_.mnuTopM_Click();
    EXPECT_FALSE(h.mnuTopM.checked() || h.form.topMost);
}

TEST(WindowBehaviour, AboutBoxSuspendsTopMostOnlyWhenChecked) {
    MainHarness h;
    h.start();
    h.dialogs.whileAboutOpen = [&] { EXPECT_FALSE(h.form.topMost); };
    h.form_.mnuAbout_Click();
    EXPECT_EQ(h.form.topMostCalls, 0) << "no call at all when not on top";
    h.form_.mnuTopM_Click();
    h.form_.mnuAbout_Click();
    EXPECT_TRUE(h.form.topMost);
    EXPECT_EQ(h.form.topMostCalls, 3);
}

TEST(WindowBehaviour, ExitWhileRunningPerformsNothing) {
    MainHarness h;
    h.start();
    h.form_.lblActivate_Click();
    h.ticks(3);
    h.journal.clear();
    h.form_.mnuExit_Click();
    EXPECT_EQ(h.journal, (fakes::Journal{"close", "asleep-ok"}))
        << "the computer may sleep again once the countdown is gone";
    EXPECT_EQ(h.tray.last().operation, TrayOperation::Delete);
    EXPECT_FALSE(h.Timer2.enabled() || h.Timer3.enabled() || h.Timer4.enabled());
}

} // namespace
} // namespace zorvo
