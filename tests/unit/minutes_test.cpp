#include <random>

#include <gtest/gtest.h>

#include "fakes.h"
#include "text/number_text.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

struct Minutes : ::testing::Test {
    MainHarness h;
    void SetUp() override { h.start(); }
    /// Replaces the whole text as one edit (a paste over a selection) and runs the rule.
    void edit(const std::wstring& text) {
        h.Combo1.text_ = text;
        h.Combo1.selStart_ = static_cast<int>(text.size());
        h.Combo1.selLength_ = 0;
        h.form_.Combo1_Change();
    }
    std::size_t warnings() const { return h.messages.shown.size(); }
};

TEST_F(Minutes, InvalidTextsWarnOnceAndLeaveOne) {
    for (const wchar_t* text : {L"361", L"0", L"-5", L"abc", L"12a", L"   ", L"360,5", L"0,5",
                                L"1e2", L"0x10", L"1 000", L"12.5", L"+", L",", L"1,2,3"}) {
        h.messages.shown.clear();
        edit(text);
        EXPECT_EQ(warnings(), 1u) << "text " << testing::PrintToString(std::wstring(text));
        EXPECT_EQ(h.Combo1.text(), L"1");
        EXPECT_EQ(h.Combo1.selStart(), 0);
        EXPECT_EQ(h.Combo1.selLength(), 1) << "the replacement is selected";
    }
    ASSERT_FALSE(h.messages.shown.empty());
    EXPECT_EQ(h.messages.shown.back(),
              L"Вы пытаетесь ввести недопустимое значение!\r\nДопустимый диапазон от 1 до 360 мин");
}

TEST_F(Minutes, AcceptedNumbersBecomeTheirWholePart) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"360", L"360"}, {L"045", L"45"}, {L"12,7", L"12"}, {L" 7 ", L"7"},
        {L"+8", L"8"},    {L"1,", L"1"},   {L",9e", L"1"},
    };
    for (auto [typed, result] : cases) {
        edit(typed);
        EXPECT_EQ(h.Combo1.text(), result) << testing::PrintToString(std::wstring(typed));
    }
    EXPECT_EQ(warnings(), 1u) << "only ',9e' warns";
}

TEST_F(Minutes, EmptyBecomesSelectedOneWithoutWarning) {
    edit(L"");
    EXPECT_EQ(h.Combo1.text(), L"1");
    EXPECT_EQ(h.Combo1.selStart(), 0);
    EXPECT_EQ(h.Combo1.selLength(), 1);
    EXPECT_EQ(warnings(), 0u);
    h.typeMinutes(L"5"); // typing replaces the selected "1"
    EXPECT_EQ(h.Combo1.text(), L"5");
}

TEST_F(Minutes, TypingDigitByDigitKeepsTheCaretAtTheEnd) {
    h.typeMinutes(L"\b");
    h.typeMinutes(L"120");
    EXPECT_EQ(h.Combo1.text(), L"120");
    EXPECT_EQ(h.Combo1.selStart(), 3);
    EXPECT_EQ(h.Combo1.selLength(), 0);
    EXPECT_EQ(warnings(), 0u);
    EXPECT_EQ(h.Combo1.writes, 1 + 1) << "load and the empty text: no rewrite while typing";
}

TEST_F(Minutes, PickingFromTheListNeedsNoCheck) {
    h.Combo1.setListIndex(119);
    EXPECT_EQ(h.Combo1.text(), L"120");
    h.form_.Timer1_Timer();
    EXPECT_EQ(h.lblH.caption(), L"2:00");
    EXPECT_EQ(warnings(), 0u);
}

TEST_F(Minutes, RandomEditsAlwaysEndCanonicalWithAtMostOneWarning) {
    std::mt19937 random(2026);
    const std::wstring alphabet = L"0123456789012345678901234,,.--++  ab\b\b\b";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(1, 8);
    for (int round = 0; round < 20000; ++round) {
        const std::size_t before = warnings();
        if (round % 3 == 0) {
            std::wstring text;
            for (int i = length(random); i > 0; --i) {
                text.push_back(alphabet[pick(random)]);
            }
            edit(text);
        } else {
            h.typeMinutes(std::wstring(1, alphabet[pick(random)]));
        }
        ASSERT_LE(warnings() - before, 1u);
        const std::wstring t = h.Combo1.text();
        ASSERT_FALSE(t.empty());
        ASSERT_NE(t[0], L'0') << "no leading zero";
        ASSERT_EQ(t.find_first_not_of(L"0123456789"), std::wstring::npos);
        const int value = std::stoi(t);
        ASSERT_TRUE(value >= 1 && value <= 360) << value;
    }
}

TEST_F(Minutes, EnterActivatesWhateverTheShiftState) {
    h.typeMinutes(L"\b15");
    h.form_.Combo1_KeyDown(65, 0);
    EXPECT_FALSE(h.Timer3.enabled());
    h.form_.Combo1_KeyDown(13, 2);
    EXPECT_TRUE(h.Timer3.enabled());
    EXPECT_EQ(h.form_.RemainingMinutes, 14);
}

TEST_F(Minutes, FocusSwitchesTheHoursTimer) {
    h.form_.Combo1_GotFocus();
    EXPECT_TRUE(h.Timer1.enabled());
    h.form_.Combo1_LostFocus();
    EXPECT_FALSE(h.Timer1.enabled());
}

TEST_F(Minutes, HoursDisplay) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"1", L"0:01"},   {L"9", L"0:09"},   {L"10", L"0:10"},  {L"59", L"0:59"},
        {L"60", L"1:00"},  {L"61", L"1:01"},  {L"69", L"1:09"},  {L"70", L"1:10"},
        {L"90", L"1:30"},  {L"119", L"1:59"}, {L"120", L"2:00"}, {L"130", L"2:10"},
        {L"359", L"5:59"}, {L"360", L"6:00"},
    };
    for (auto [minutes, shown] : cases) {
        edit(minutes);
        h.form_.Timer1_Timer();
        EXPECT_EQ(h.lblH.caption(), shown) << testing::PrintToString(std::wstring(minutes));
    }
    EXPECT_EQ(h.form_.MinutesRemainder, 0);
}

TEST_F(Minutes, HoursTimerUnderTheWarningSetsOne) {
    h.form_.Combo1_GotFocus();
    edit(L"90");
    h.form_.Timer1_Timer();
    // The warning box is modal, but the timers keep ticking underneath it.
    h.messages.whileOpen = [this] {
        h.form_.Timer1_Timer();
        EXPECT_EQ(h.Combo1.text(), L"1");
        EXPECT_EQ(h.lblH.caption(), L"0:01");
    };
    edit(L"9x");
    EXPECT_EQ(warnings(), 1u);
    EXPECT_EQ(h.Combo1.text(), L"1");
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

TEST(ShowHotKey, PollAfterHiding) {
    MainHarness h;
    h.start();
    h.form_.mnuTray_Click();
    EXPECT_FALSE(h.form.visible());
    EXPECT_TRUE(h.Timer4.enabled());
    h.keyboard.keys = {{0xA2, 0x8000}, {0x54, 0x8000}};
    for (int tick = 1; tick < 30; ++tick) {
        h.form_.Timer4_Timer();
    }
    EXPECT_FALSE(h.form.visible()) << "ignored for the first 29 ticks";
    h.keyboard.keys = {{0xA2, 0x8001}, {0x54, 0x8000}};
    h.form_.Timer4_Timer();
    EXPECT_FALSE(h.form.visible()) << "a press recorded since the last poll does not count";
    h.keyboard.keys = {{0xA3, 0x8000}, {0x54, 0x8000}};
    h.form_.Timer4_Timer();
    EXPECT_FALSE(h.form.visible()) << "the right Ctrl key does not count";
    h.keyboard.keys = {{0xA2, 0x8000}, {0x54, 0x8000}};
    h.form_.Timer4_Timer();
    EXPECT_TRUE(h.form.visible());
    EXPECT_EQ(h.form.windowState(), WindowState::Normal);
    EXPECT_FALSE(h.Timer4.enabled());
}

TEST(ShowHotKey, CountWrapsAtOneThousand) {
    MainHarness h;
    h.start();
    h.form_.mnuTray_Click();
    for (int tick = 0; tick < 1000; ++tick) {
        h.form_.Timer4_Timer();
    }
    EXPECT_EQ(h.form_.HiddenTickCount, 1000);
    h.keyboard.keys = {{0xA2, 0x8000}, {0x54, 0x8000}};
    for (int tick = 0; tick < 29; ++tick) {
        h.form_.Timer4_Timer();
    }
    EXPECT_EQ(h.form_.HiddenTickCount, 29);
    EXPECT_FALSE(h.form.visible()) << "29 more ignored ticks after the wrap";
    h.form_.Timer4_Timer();
    EXPECT_TRUE(h.form.visible());
}

TEST(ShowHotKey, EachHideStartsTheDelayOver) {
    MainHarness h;
    h.start();
    h.form_.mnuTray_Click();
    for (int tick = 0; tick < 40; ++tick) {
        h.form_.Timer4_Timer();
    }
    h.form_.TrayIcon_Message(0x203); // shown by the icon; the poll goes on
    h.form_.mnuTray_Click();
    h.keyboard.keys = {{0xA2, 0x8000}, {0x54, 0x8000}};
    for (int tick = 1; tick < 30; ++tick) {
        h.form_.Timer4_Timer();
        ASSERT_FALSE(h.form.visible()) << "shown at tick " << tick << " of the second hide";
    }
    h.form_.Timer4_Timer();
    EXPECT_TRUE(h.form.visible());
}

TEST(ShowHotKey, VisibleWindowIsLeftAlone) {
    MainHarness h;
    h.start();
    h.form_.lblActivate_Click(); // activation starts the poll too
    h.keyboard.keys = {{0xA2, 0x8000}, {0x54, 0x8000}};
    for (int tick = 0; tick < 50; ++tick) {
        h.form_.Timer4_Timer();
    }
    EXPECT_TRUE(h.Timer4.enabled());
}

} // namespace
} // namespace zorvo
