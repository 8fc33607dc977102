#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "app/frm_main.h"
#include "app/frm_main_layout.h"
#include "core/dpi_math.h"
#include "layout_checks.h"

namespace zorvo {
namespace {

const FormDesc& form() {
    return frmMainLayout();
}

TEST(FrmMainLayout, ControlsCarryTheIdsThatOutsideToolsUse) {
    const std::map<std::wstring, int> contract = {
        {L"lblEnter", 1001}, {L"lblLog", 1002},      {L"Combo1", 1003},
        {L"lblMin", 1004},   {L"lblH", 1005},        {L"lblDate", 1006},
        {L"lblTime", 1007},  {L"lblActivate", 1008}, {L"lblReset", 1009}};
    ASSERT_EQ(form().controls.size(), contract.size());
    std::set<int> ids;
    for (const auto& control : form().controls) {
        const auto found = contract.find(std::wstring(control.name));
        ASSERT_NE(found, contract.end()) << "unexpected control";
        EXPECT_EQ(control.id, found->second);
        EXPECT_TRUE(ids.insert(control.id).second) << "duplicate control ID " << control.id;
    }
}

TEST(FrmMainLayout, MenuCommandsCarryTheIdsThatOutsideToolsUse) {
    const std::map<std::wstring, int> contract = {
        {L"mnuActive", 2001}, {L"mnuReset", 2002},    {L"mnuTray", 2003},  {L"mnuTopM", 2004},
        {L"mnuExit", 2005},   {L"mnuShutDown", 2011}, {L"mnuAlarm", 2012}, {L"mnuWait", 2013},
        {L"mnuReboot", 2014}, {L"mnuSleep", 2015},    {L"mnuLog", 2016},   {L"mnuBat", 2017},
        {L"mnuAbout", 2018}};
    std::set<int> ids;
    std::size_t commands = 0;
    for (const auto& menu : form().menus) {
        if (menu.separator || menu.parent.empty()) {
            EXPECT_EQ(menu.id, 0) << "separators and top-level menus send no command";
            continue;
        }
        ++commands;
        const auto found = contract.find(std::wstring(menu.name));
        ASSERT_NE(found, contract.end()) << "unexpected menu item";
        EXPECT_EQ(menu.id, found->second);
        EXPECT_TRUE(ids.insert(menu.id).second) << "duplicate command " << menu.id;
    }
    EXPECT_EQ(commands, contract.size());
    // Command IDs never collide with control IDs: both arrive in WM_COMMAND.
    for (const auto& control : form().controls) {
        EXPECT_EQ(ids.count(control.id), 0U);
    }
}

TEST(FrmMainLayout, ShortcutsAndAccessKeysAreUnambiguous) {
    std::set<std::tuple<int, bool, bool, bool>> shortcuts;
    std::map<std::wstring, std::set<wchar_t>> accessKeys;
    for (const auto& menu : form().menus) {
        if (!menu.parent.empty() && !menu.separator) {
            const auto menuParent = findMenu(form(), menu.parent);
            ASSERT_NE(menuParent, nullptr);
            EXPECT_TRUE(menuParent->parent.empty()) << "items hang off a top-level menu";
        }
        if (!menu.shortcut.empty()) {
            const auto& s = menu.shortcut;
            EXPECT_TRUE(shortcuts.emplace(s.virtualKey, s.ctrl, s.alt, s.shift).second)
                << std::wstring(s.text);
            // The text shown in the menu names the key that works.
            if (s.ctrl && s.virtualKey >= L'A' && s.virtualKey <= L'Z') {
                EXPECT_EQ(s.text, L"Ctrl+" + std::wstring(1, static_cast<wchar_t>(s.virtualKey)));
            }
        }
        if (menu.separator) {
            continue;
        }
        const auto amp = menu.caption.find(L'&');
        ASSERT_NE(amp, std::wstring_view::npos) << "every item has an access key";
        const wchar_t key = static_cast<wchar_t>(std::towupper(menu.caption[amp + 1]));
        EXPECT_TRUE(accessKeys[std::wstring(menu.parent)].insert(key).second)
            << "access key used twice in one menu";
    }
    const auto reset = findMenu(form(), L"mnuReset");
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->shortcut.virtualKey, 0x08);
    EXPECT_TRUE(reset->shortcut.alt);
    EXPECT_FALSE(reset->shortcut.ctrl);
}

TEST(FrmMainLayout, EveryControlLiesInsideTheClientArea) {
    const auto& f = form();
    for (const auto& c : f.controls) {
        EXPECT_EQ(c.parentId, 0);
        EXPECT_GE(c.left, 0) << std::wstring(c.name);
        EXPECT_GE(c.top, 0);
        EXPECT_GT(c.width, 0);
        EXPECT_GT(c.height, 0);
        EXPECT_LE(c.left + c.width, f.clientWidth) << "control sticks out on the right";
        EXPECT_LE(c.top + c.height, f.clientHeight) << "control sticks out at the bottom";
    }
    // Transparent labels whose boxes touch by design: the log line under the status line, and
    // "Сбросить" just under "Активировать"; their texts stay apart.
    layout_checks::expectNoOverlaps(f, {{L"lblEnter", L"lblLog"}, {L"lblActivate", L"lblReset"}});
    // Over the dark picture the labels must read as over a black form.
    layout_checks::expectReadable(f);
    EXPECT_LE(f.pictureWidth, f.clientWidth);
    EXPECT_LE(f.pictureHeight, f.clientHeight);
    // At 96 dpi the client area is 387 x 256 pixels and the picture 387 x 251.
    EXPECT_EQ(twipsToPixels(f.clientWidth, 96), 387);
    EXPECT_EQ(twipsToPixels(f.clientHeight, 96), 256);
    EXPECT_EQ(twipsToPixels(f.pictureWidth, 96), 387);
    EXPECT_EQ(twipsToPixels(f.pictureHeight, 96), 251);
}

// The minutes box has its unit on its right and the same value in hours right under it; the
// date and the clock share the bottom line.
TEST(FrmMainLayout, RelatedControlsLineUp) {
    const auto control = [](const wchar_t* name) -> const ControlDesc& {
        static const ControlDesc none{};
        const auto* found = findControl(form(), name);
        return found != nullptr ? *found : (ADD_FAILURE() << name, none);
    };
    const auto& combo = control(L"Combo1");
    const auto& hours = control(L"lblH");
    EXPECT_EQ(hours.left, combo.left);
    EXPECT_EQ(hours.width, combo.width);
    EXPECT_GE(hours.top, combo.top + combo.height);
    EXPECT_LE(hours.top, combo.top + combo.height + 30) << "right under the box";
    EXPECT_EQ(control(L"lblMin").top, combo.top);

    // Date and clock: one row, one look, in the two bottom corners.
    const auto& date = control(L"lblDate");
    const auto& time = control(L"lblTime");
    EXPECT_EQ(date.top, time.top);
    EXPECT_EQ(date.pointSize, time.pointSize);
    EXPECT_EQ(date.fontFace, time.fontFace);
    EXPECT_EQ(date.foreColour, time.foreColour);
    EXPECT_EQ(date.left, 0);
    EXPECT_LE(form().clientWidth - (time.left + time.width), 30) << "within 2 pixels of the edge";

    // The status line stands on the window's centre line (within 3 pixels), the two buttons on
    // one line of their own (within a pixel), one under the other.
    const auto& status = control(L"lblEnter");
    EXPECT_LE(std::abs(2 * status.left + status.width - form().clientWidth), 2 * 45);
    const auto& activate = control(L"lblActivate");
    const auto& reset = control(L"lblReset");
    EXPECT_LE(std::abs(2 * activate.left + activate.width - 2 * reset.left - reset.width), 2 * 15);
    EXPECT_GT(reset.top, activate.top);
}

TEST(FrmMainLayout, TabOrderIsCompleteAndHasNoGaps) {
    std::vector<int> order;
    for (const auto& c : form().controls) {
        order.push_back(c.tabIndex);
    }
    std::sort(order.begin(), order.end());
    for (std::size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i], static_cast<int>(i)) << "tab index missing or repeated";
    }
}

// What the start state and the countdown do not show by themselves: labels stay transparent over
// the picture, the countdown is paced against the clock, and the colour the form's mouse move
// restores is the buttons' own.
TEST(FrmMainLayout, TransparentLabelsAPacedCountdownAndTheButtonsOwnColour) {
    for (const auto& c : form().controls) {
        EXPECT_EQ(c.backColour.has_value(), c.kind == ControlKind::ComboBox)
            << std::wstring(c.name);
    }
    EXPECT_EQ(findTimer(form(), L"Timer3")->pacing, TimerPacing::Paced);
    EXPECT_TRUE(form().showInTaskbar) << "the main window has a taskbar button";
    EXPECT_EQ(form().border, BorderStyle::FixedSingle) << "with a caption to move it by";
    EXPECT_EQ(findControl(form(), L"lblActivate")->foreColour, kButtonColour);
    EXPECT_EQ(findControl(form(), L"lblReset")->foreColour, kButtonColour);
}

} // namespace
} // namespace zorvo
