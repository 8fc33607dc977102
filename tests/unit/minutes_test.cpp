#include <map>

#include <gtest/gtest.h>

#include "fakes.h"
#include "text/number_text.h"

namespace zorvo {
namespace {

struct Minutes : ::testing::Test {
    fakes::StartedMain h;
    /// Replaces the whole text as one edit (a paste over a selection) and runs the rule.
    void edit(const std::wstring& text) {
        h.Combo1.text_ = text;
        h.Combo1.selStart_ = static_cast<int>(text.size());
        h.Combo1.selLength_ = 0;
        h.send(L"Combo1", Event::Change);
    }
};

TEST_F(Minutes, HoursDisplay) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"1", L"0:01"},  {L"9", L"0:09"},  {L"10", L"0:10"},  {L"59", L"0:59"},  {L"60", L"1:00"},
        {L"69", L"1:09"}, {L"70", L"1:10"}, {L"119", L"1:59"}, {L"360", L"6:00"},
    };
    for (auto [minutes, shown] : cases) {
        edit(minutes);
        h.send(L"Timer1", Event::Timer);
        EXPECT_EQ(h.lblH.caption(), shown) << testing::PrintToString(std::wstring(minutes));
    }
    EXPECT_EQ(h.form_.MinutesRemainder, 0);
}

// The hours under the box follow it while it has the focus, the warning's "1" too.
TEST_F(Minutes, HoursTimerRunsWithTheFocusAndUnderTheWarningSetsOne) {
    h.send(L"Combo1", Event::GotFocus);
    EXPECT_TRUE(h.Timer1.enabled());
    edit(L"90");
    h.send(L"Timer1", Event::Timer);
    // The warning box is modal, but the timers keep ticking underneath it.
    h.messages.whileOpen = [this] {
        h.send(L"Timer1", Event::Timer);
        EXPECT_EQ(h.Combo1.text(), L"1");
        EXPECT_EQ(h.lblH.caption(), L"0:01");
    };
    edit(L"9x");
    EXPECT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.Combo1.text(), L"1");
    h.send(L"Combo1", Event::LostFocus);
    EXPECT_FALSE(h.Timer1.enabled());
}

TEST(NumberText, OnlyPlainNumbersConvert) {
    using text::parseLocaleNumber;
    EXPECT_EQ(parseLocaleNumber(L" -12,5 ", L','), -12.5);
    EXPECT_EQ(parseLocaleNumber(L"12.5", L'.'), 12.5);
    EXPECT_EQ(parseLocaleNumber(L",5", L','), 0.5);
    for (const wchar_t* bad : {L"", L" ", L"12.5", L"1e3", L"0x1A", L"1 000", L"$5", L"--1", L"+-1",
                               L"1,2,3", L"1\u00a0", L"\u0661"}) {
        EXPECT_FALSE(parseLocaleNumber(bad, L',')) << testing::PrintToString(std::wstring(bad));
    }
}

// Left Ctrl+T brings a hidden window back, but only 30 polls after it was hidden (the count wraps
// at 1000), only while both keys are held as such, and never touches a window in sight.
TEST(ShowHotKey, ShownAtTheThirtiethPollAfterEachHide) {
    using Keys = std::map<int, std::uint16_t>;
    const Keys held = {{0xA2, 0x8000}, {0x54, 0x8000}};
    const Keys pressedSince = {{0xA2, 0x8001}, {0x54, 0x8000}};
    struct Case {
        const char* what;
        bool hide; ///< hidden to the tray, else counting down in sight
        int idlePolls;
        bool hideAgain; ///< shown by the icon and hidden again after the idle polls
        Keys keys;
        int shownAt; ///< the poll that shows the window; 0: none of 50
    };
    const Case cases[] = {
        {"held at once", true, 0, false, held, 30},
        {"the count wraps at 1000", true, 1000, false, held, 30},
        {"each hide starts the delay over", true, 40, true, held, 30},
        {"a press recorded since the last poll", true, 0, false, pressedSince, 0},
        {"the right Ctrl key", true, 0, false, {{0xA3, 0x8000}, {0x54, 0x8000}}, 0},
        {"a window in sight", false, 0, false, held, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fakes::StartedMain h;
        h.click(c.hide ? L"mnuTray" : L"lblActivate");
        EXPECT_EQ(h.form.visible(), !c.hide);
        EXPECT_TRUE(h.Timer4.enabled());
        for (int poll = 0; poll < c.idlePolls; ++poll) {
            h.send(L"Timer4", Event::Timer);
        }
        if (c.hideAgain) {
            h.form_.TrayIcon_Message(0x203); // shown by the icon; the poll goes on
            EXPECT_TRUE(h.Timer4.enabled());
            h.click(L"mnuTray");
        }
        h.keyboard.keys = c.keys;
        int shownAt = 0;
        for (int poll = 1; poll <= 50 && shownAt == 0; ++poll) {
            h.send(L"Timer4", Event::Timer);
            shownAt = h.Timer4.enabled() ? 0 : poll;
        }
        EXPECT_EQ(shownAt, c.shownAt);
        EXPECT_EQ(h.form.visible(), c.shownAt != 0 || !c.hide);
        EXPECT_EQ(h.form.windowState(),
                  c.shownAt != 0 || !c.hide ? WindowState::Normal : WindowState::Minimized);
    }
}

} // namespace
} // namespace zorvo
