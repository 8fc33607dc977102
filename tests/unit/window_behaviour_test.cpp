// What the main window does with its icon, its top-most mark, its dialogs and its closing.

#include <gtest/gtest.h>

#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

TEST(WindowBehaviour, IconMessages) {
    MainHarness h;
    h.start();
    h.click(L"mnuTray");
    EXPECT_EQ(h.form.windowState(), WindowState::Minimized);
    for (int message : {0x200, 0x201, 0x202, 0x205}) { // each gives the buttons their colour back
        h.send(L"lblActivate", Event::MouseMove);
        h.send(L"lblReset", Event::MouseMove);
        EXPECT_EQ(h.lblActivate.foreColour() & h.lblReset.foreColour(), kButtonHoverColour);
        h.form_.TrayIcon_Message(message);
        EXPECT_FALSE(h.form.visible()) << message;
        EXPECT_EQ(h.lblActivate.foreColour(), kButtonColour);
        EXPECT_EQ(h.lblReset.foreColour(), kButtonColour);
    }
    h.form_.TrayIcon_Message(0x203);
    EXPECT_TRUE(h.form.visible());
    EXPECT_EQ(h.form.windowState(), WindowState::Normal);
    EXPECT_TRUE(h.Timer4.enabled()) << "the double click leaves the poll running";
}

// A press on the bare form or on any label that is not a button moves the window.
TEST(WindowBehaviour, APressOnTheFormOrAPlainLabelDragsTheWindow) {
    MainHarness h;
    h.start();
    int expected = 0;
    h.send(L"", Event::MouseDown);
    EXPECT_EQ(h.form.drags, ++expected);
    for (const ControlDesc& c : frmMainLayout().controls) {
        if (c.kind == ControlKind::Label && !c.clickable) {
            h.send(c.name, Event::MouseDown);
            EXPECT_EQ(h.form.drags, ++expected) << std::wstring(c.name);
        }
    }
}

TEST(WindowBehaviour, TheDialogsOpenAndTheAboutBoxSuspendsTopMostOnlyWhenChecked) {
    MainHarness h;
    h.start();
    h.journal.clear();
    h.dialogs.whileAboutOpen = [&] { EXPECT_FALSE(h.form.topMost); };
    h.click(L"mnuAbout");
    EXPECT_EQ(h.form.topMostCalls, 0) << "no call at all when not on top";
    h.click(L"mnuTopM");
    EXPECT_TRUE(h.mnuTopM.checked() && h.form.topMost);
    h.click(L"mnuAbout");
    EXPECT_TRUE(h.form.topMost);
    EXPECT_EQ(h.form.topMostCalls, 3);
    h.click(L"mnuTopM");
    EXPECT_FALSE(h.mnuTopM.checked() || h.form.topMost);
    h.click(L"mnuBat");
    EXPECT_EQ(h.journal, (fakes::Journal{"about", "about", "bat"}));
}

TEST(WindowBehaviour, ExitWhileRunningPerformsNothing) {
    MainHarness h;
    h.start();
    h.click(L"lblActivate");
    h.ticks(3);
    h.journal.clear();
    h.click(L"mnuExit");
    EXPECT_EQ(h.journal, (fakes::Journal{"close", "asleep-ok"}))
        << "the computer may sleep again once the countdown is gone";
    EXPECT_EQ(h.tray.last().operation, TrayOperation::Delete);
    EXPECT_FALSE(h.Timer2.enabled() || h.Timer3.enabled() || h.Timer4.enabled());
}

} // namespace
} // namespace zorvo
