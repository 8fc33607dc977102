// Enter and Esc in the dialogs, and what a screen reader is told about the forms' controls,
// decided on the real form tables with the controls' states faked.

#include <map>
#include <string>

#include <gtest/gtest.h>

#include "app/frm_main_layout.h"
#include "batch/frm_bat_layout.h"
#include "core/accessible_facts.h"
#include "core/dialog_keys.h"
#include "dialogs/frm_about_layout.h"
#include "fakes.h"

namespace zorvo {
namespace {

using Changed = std::map<std::wstring_view, ControlState>;

/// The controls as the design shows them, enabled, except the `changed` ones.
ControlStates states(const FormDesc& form, const Changed& changed = {}) {
    return [&form, changed](int id) {
        const auto c = std::ranges::find(form.controls, id, &ControlDesc::id);
        const auto it = c != form.controls.end() ? changed.find(c->name) : changed.end();
        return c == form.controls.end() ? ControlState{}
               : it != changed.end()    ? it->second
                                        : ControlState{c->visible, true, std::wstring(c->caption)};
    };
}

TEST(DialogKeys, EnterAndEscPressTheDialogsButtonsAndNothingElse) {
    struct Case {
        const FormDesc& form;
        int key;
        bool listDropped, taken;
        const wchar_t* pressed;
        Changed changed = {};
    };
    const Case cases[] = {
        {frmBatLayout(), kVkReturn, false, true, L"lblOK"},
        {frmBatLayout(), kVkEscape, false, true, L"lblCancel"},
        {frmAboutLayout(), kVkReturn, false, true, L"lblOK"},
        {frmAboutLayout(), kVkEscape, false, true, L"lblOK"},
        // Other keys (Tab) are the focused control's.
        {frmBatLayout(), 0x09, false, false, nullptr},
        // With a combo box's list dropped down, Enter picks the item and Esc closes the list.
        {frmBatLayout(), kVkReturn, true, false, nullptr},
        {frmBatLayout(), kVkEscape, true, false, nullptr},
        // The main window's Enter belongs to its minutes box, which activates the countdown.
        {frmMainLayout(), kVkReturn, false, false, nullptr},
        {frmMainLayout(), kVkEscape, false, false, nullptr},
        // A button that cannot be clicked is not pressed; the key still stays the form's.
        {frmBatLayout(), kVkReturn, false, true, nullptr, {{L"lblOK", {true, false, L"x"}}}},
        {frmBatLayout(), kVkEscape, false, true, nullptr, {{L"lblCancel", {false, true, L"x"}}}},
    };
    for (const Case& c : cases) {
        const auto outcome = dialogKey(c.form, c.key, c.listDropped, states(c.form, c.changed));
        SCOPED_TRACE(testing::Message() << std::wstring(c.form.className) << " key " << c.key);
        EXPECT_EQ(outcome.taken, c.taken);
        EXPECT_EQ(outcome.press, c.pressed ? control(c.form, c.pressed).id : 0);
    }
}

TEST(ScreenReaderFacts, ButtonsAndLinksNamedByTheirCaptionsBoxesByTheirLabels) {
    struct Case {
        const FormDesc& form;
        const wchar_t* name;
        AccessibleRole role;
        const wchar_t* action; ///< nullptr: the system's own description stands
        bool isDefault = false;
        const wchar_t* spoken = L"Текст сейчас"; ///< the name read out
    };
    const Case cases[] = {
        {frmMainLayout(), L"lblActivate", AccessibleRole::PushButton, kPressAction},
        {frmMainLayout(), L"lblReset", AccessibleRole::PushButton, kPressAction},
        {frmBatLayout(), L"lblOK", AccessibleRole::PushButton, kPressAction, true},
        {frmBatLayout(), L"lblCancel", AccessibleRole::PushButton, kPressAction},
        {frmAboutLayout(), L"lblOK", AccessibleRole::PushButton, kPressAction, true},
        {frmAboutLayout(), L"lblHomePage", AccessibleRole::Link, kJumpAction},
        {frmMainLayout(), L"Combo1", AccessibleRole::Unchanged, L"", false, L"в минутах"},
        {frmBatLayout(), L"Combo1", AccessibleRole::Unchanged, L"", false, L"Время"},
        {frmMainLayout(), L"lblEnter", AccessibleRole::Unchanged, nullptr},
        {frmAboutLayout(), L"Text1", AccessibleRole::Unchanged, nullptr},
    };
    int clickable = 0, buttons = 0;
    for (const FormDesc* form : {&frmMainLayout(), &frmBatLayout(), &frmAboutLayout()}) {
        clickable +=
            static_cast<int>(std::ranges::count(form->controls, true, &ControlDesc::clickable));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        // The name follows the caption as it is now, not as it was designed.
        const auto facts =
            accessibleFacts(c.form, control(c.form, c.name),
                            states(c.form, {{c.name, {true, true, L"Текст сейчас"}}}));
        ASSERT_EQ(facts.has_value(), c.action != nullptr);
        if (!facts) {
            continue;
        }
        buttons += c.role != AccessibleRole::Unchanged ? 1 : 0;
        EXPECT_EQ(facts->role, c.role);
        EXPECT_EQ(facts->name, c.spoken);
        EXPECT_EQ(facts->defaultAction, c.action);
        EXPECT_EQ((facts->state & kStateDefault) != 0, c.isDefault);
        EXPECT_EQ((facts->state & kStateLinked) != 0, c.role == AccessibleRole::Link);
        EXPECT_EQ(facts->state & (kStateInvisible | kStateUnavailable), 0U);
    }
    EXPECT_EQ(buttons, clickable) << "a clickable label left out";
}

TEST(ScreenReaderFacts, AHiddenOrDisabledButtonIsNotOfferedForPressing) {
    const FormDesc& form = frmMainLayout();
    const auto reset = accessibleFacts(form, control(form, L"lblReset"), states(form));
    ASSERT_TRUE(reset.has_value()); // hidden, as designed
    EXPECT_EQ(reset->state & (kStateInvisible | kStateUnavailable),
              kStateInvisible | kStateUnavailable);
    EXPECT_FALSE(reset->pressable());
    const auto activate = accessibleFacts(form, control(form, L"lblActivate"),
                                          states(form, {{L"lblActivate", {true, false, L"x"}}}));
    ASSERT_TRUE(activate.has_value());
    EXPECT_EQ(activate->state, kStateUnavailable);
    EXPECT_FALSE(activate->pressable()) << "pressing it would restart a running countdown";
}

} // namespace
} // namespace zorvo
