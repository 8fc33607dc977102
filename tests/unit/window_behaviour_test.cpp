// What the main window does with its icon, its top-most mark, its dialogs and its closing, and
// the about box.

#include <gtest/gtest.h>

#include "core/product.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"
#include "fakes.h"

namespace zorvo {
namespace {

TEST(WindowBehaviour, IconMessages) {
    fakes::StartedMain h;
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
    fakes::StartedMain h;
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
    fakes::StartedMain h;
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

using fakes::AboutHarness;

TEST(AboutBox, TextLinkAndHover) {
    AboutHarness h;
    h.text.text_ = L"edited by the user";
    h.about.Form_Load();
    const std::wstring t = h.text.text();
    EXPECT_EQ(
        t.rfind(L"Zorvo v" ZORVO_VERSION_WIDE L"\r\nДата создания: 16 ноября 2007\r\nАвтор: ", 0),
        0u);
    EXPECT_EQ(std::count(t.begin(), t.end(), L'\n'), 5) << "six lines";
    EXPECT_NE(t.substr(t.size() - 2), L"\r\n");

    h.send(L"lblHomePage", Event::Click);
    h.send(L"lblHomePage", Event::Click);
    EXPECT_EQ(h.links.opened, (std::vector<std::wstring>{kHomePage, kHomePage}));
    EXPECT_FALSE(h.form.closed);

    h.send(L"lblHomePage", Event::MouseMove);
    h.send(L"lblOK", Event::MouseMove); // the button's hover look: the palette's test
    EXPECT_EQ(h.link.foreColour(), 0x00FF0000u);
    h.send(L"", Event::MouseMove);
    EXPECT_EQ(h.link.foreColour(), 0x00FFC0C0u);
    EXPECT_FALSE(h.ok.border());
    EXPECT_EQ(h.ok.backColour(), 0x00400040u);
    h.send(L"lblOK", Event::Click);
    EXPECT_TRUE(h.form.closed);
}

} // namespace
} // namespace zorvo
