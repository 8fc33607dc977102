// Enter and Esc in the dialogs, and what a screen reader is told about the forms' controls,
// decided on the real form tables with the controls' states faked.

#include <map>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "app/frm_main_layout.h"
#include "batch/frm_bat.h"
#include "batch/frm_bat_layout.h"
#include "core/accessible_facts.h"
#include "core/dialog_keys.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"

namespace zorvo {
namespace {

constexpr int kVkTab = 0x09;
constexpr int kVkSpace = 0x20;

/// The controls as the design shows them, with some changed.
class FakeStates {
public:
    explicit FakeStates(const FormDesc& form) {
        for (const auto& control : form.controls) {
            states_[control.id] =
                ControlState{control.visible, true, std::wstring(control.caption)};
        }
    }
    FakeStates& set(int id, bool visible, bool enabled) {
        states_[id].visible = visible;
        states_[id].enabled = enabled;
        return *this;
    }
    FakeStates& caption(int id, const std::wstring& text) {
        states_[id].caption = text;
        return *this;
    }
    ControlStates get() const {
        return [this](int id) {
            const auto found = states_.find(id);
            return found == states_.end() ? ControlState{} : found->second;
        };
    }

private:
    std::map<int, ControlState> states_;
};

const ControlDesc* findControlById(const FormDesc& form, int id) {
    for (const auto& control : form.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    throw std::logic_error("no control " + std::to_string(id));
}

/// The handler a click on the control runs.
template <typename Logic>
typename Route<Logic>::Handler clickHandler(std::span<const Route<Logic>> routes, int id) {
    for (const auto& route : routes) {
        if (route.source == id && route.event == Event::Click) {
            return route.handler;
        }
    }
    return nullptr;
}

TEST(DialogKeys, EnterGeneratesAndEscCancelsInTheBatchDialog) {
    const FormDesc& form = frmBatLayout();
    const FakeStates states(form);
    const auto enter = dialogKey(form, kVkReturn, false, states.get());
    const auto esc = dialogKey(form, kVkEscape, false, states.get());
    EXPECT_TRUE(enter.taken);
    EXPECT_TRUE(esc.taken);
    EXPECT_EQ(clickHandler(frmBatRoutes(), enter.press), &frmBat::lblOK_Click);
    EXPECT_EQ(clickHandler(frmBatRoutes(), esc.press), &frmBat::lblCancel_Click);
}

TEST(DialogKeys, EnterAndEscBothCloseTheAboutBox) {
    const FormDesc& form = frmAboutLayout();
    const FakeStates states(form);
    for (const int key : {kVkReturn, kVkEscape}) {
        const auto outcome = dialogKey(form, key, false, states.get());
        EXPECT_TRUE(outcome.taken) << key;
        EXPECT_EQ(clickHandler(frmAboutRoutes(), outcome.press), &frmAbout::lblOK_Click) << key;
    }
}

TEST(DialogKeys, OtherKeysAnOpenListAndTheMainWindowKeepTheirOwnWay) {
    const FakeStates bat(frmBatLayout());
    for (const int key : {kVkTab, kVkSpace, int{'A'}}) {
        EXPECT_FALSE(dialogKey(frmBatLayout(), key, false, bat.get()).taken) << key;
    }
    // With a combo box's list dropped down, Enter picks the item and Esc closes the list.
    for (const int key : {kVkReturn, kVkEscape}) {
        const auto outcome = dialogKey(frmBatLayout(), key, true, bat.get());
        EXPECT_FALSE(outcome.taken) << key;
        EXPECT_EQ(outcome.press, 0) << key;
    }
    // The main window's Enter belongs to its minutes box, which activates the countdown.
    const FakeStates main(frmMainLayout());
    for (const int key : {kVkReturn, kVkEscape}) {
        EXPECT_FALSE(dialogKey(frmMainLayout(), key, false, main.get()).taken) << key;
    }
}

TEST(DialogKeys, AButtonThatCannotBeClickedIsNotPressedByItsKey) {
    const FormDesc& form = frmBatLayout();
    FakeStates states(form);
    states.set(frm_bat_id::lblOK, true, false).set(frm_bat_id::lblCancel, false, true);
    for (const int key : {kVkReturn, kVkEscape}) {
        const auto outcome = dialogKey(form, key, false, states.get());
        EXPECT_TRUE(outcome.taken) << "the key still does not reach the focused control";
        EXPECT_EQ(outcome.press, 0) << key;
    }
}

struct ButtonCase {
    const FormDesc& form;
    int id;
    AccessibleRole role;
    const wchar_t* action;
    bool isDefault;
};

TEST(ScreenReaderFacts, EveryClickableLabelIsAButtonOrLinkNamedByItsCaption) {
    const ButtonCase cases[] = {
        {frmMainLayout(), frm_main_id::lblActivate, AccessibleRole::PushButton, kPressAction,
         false},
        {frmMainLayout(), frm_main_id::lblReset, AccessibleRole::PushButton, kPressAction, false},
        {frmBatLayout(), frm_bat_id::lblOK, AccessibleRole::PushButton, kPressAction, true},
        {frmBatLayout(), frm_bat_id::lblCancel, AccessibleRole::PushButton, kPressAction, false},
        {frmAboutLayout(), frm_about_id::lblOK, AccessibleRole::PushButton, kPressAction, true},
        {frmAboutLayout(), frm_about_id::lblHomePage, AccessibleRole::Link, kJumpAction, false},
    };
    int clickable = 0;
    for (const FormDesc* form : {&frmMainLayout(), &frmBatLayout(), &frmAboutLayout()}) {
        for (const auto& control : form->controls) {
            clickable += control.clickable ? 1 : 0;
        }
    }
    EXPECT_EQ(clickable, static_cast<int>(std::size(cases))) << "a clickable label left out";

    for (const ButtonCase& c : cases) {
        FakeStates states(c.form);
        // The name follows the caption as it is now, not as it was designed.
        states.set(c.id, true, true).caption(c.id, L"Текст сейчас");
        const auto facts = accessibleFacts(c.form, *findControlById(c.form, c.id), states.get());
        ASSERT_TRUE(facts.has_value()) << c.id;
        EXPECT_EQ(facts->role, c.role) << c.id;
        EXPECT_EQ(facts->name, L"Текст сейчас") << c.id;
        EXPECT_EQ(facts->defaultAction, c.action) << c.id;
        EXPECT_TRUE(facts->pressable()) << c.id;
        EXPECT_EQ((facts->state & kStateDefault) != 0, c.isDefault) << c.id;
        EXPECT_EQ((facts->state & kStateLinked) != 0, c.role == AccessibleRole::Link) << c.id;
        EXPECT_EQ(facts->state & (kStateInvisible | kStateUnavailable), 0U) << c.id;
    }
}

TEST(ScreenReaderFacts, AHiddenOrDisabledButtonIsNotOfferedForPressing) {
    const FormDesc& form = frmMainLayout();
    FakeStates idle(form); // lblReset hidden, as designed
    const auto reset =
        accessibleFacts(form, *findControlById(form, frm_main_id::lblReset), idle.get());
    ASSERT_TRUE(reset.has_value());
    EXPECT_EQ(reset->state & kStateInvisible, kStateInvisible);
    EXPECT_EQ(reset->state & kStateUnavailable, kStateUnavailable);
    EXPECT_FALSE(reset->pressable());

    FakeStates running(form);
    running.set(frm_main_id::lblActivate, true, false);
    const auto activate =
        accessibleFacts(form, *findControlById(form, frm_main_id::lblActivate), running.get());
    ASSERT_TRUE(activate.has_value());
    EXPECT_EQ(activate->state, kStateUnavailable);
    EXPECT_FALSE(activate->pressable()) << "pressing it would restart a running countdown";
}

TEST(ScreenReaderFacts, MinutesBoxesAreNamedByTheLabelsBesideThem) {
    const FakeStates main(frmMainLayout());
    const auto box = accessibleFacts(
        frmMainLayout(), *findControlById(frmMainLayout(), frm_main_id::Combo1), main.get());
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->role, AccessibleRole::Unchanged);
    EXPECT_EQ(box->name, L"в минутах");
    EXPECT_FALSE(box->pressable());

    const FakeStates bat(frmBatLayout());
    const auto minutes = accessibleFacts(
        frmBatLayout(), *findControlById(frmBatLayout(), frm_bat_id::Combo1), bat.get());
    ASSERT_TRUE(minutes.has_value());
    EXPECT_EQ(minutes->role, AccessibleRole::Unchanged);
    EXPECT_EQ(minutes->name, L"Время");
}

TEST(ScreenReaderFacts, OtherControlsKeepTheSystemsDescription) {
    const FakeStates main(frmMainLayout());
    for (const int id : {frm_main_id::lblEnter, frm_main_id::lblMin, frm_main_id::lblH}) {
        EXPECT_FALSE(
            accessibleFacts(frmMainLayout(), *findControlById(frmMainLayout(), id), main.get())
                .has_value())
            << id;
    }
    const FakeStates about(frmAboutLayout());
    EXPECT_FALSE(accessibleFacts(frmAboutLayout(),
                                 *findControlById(frmAboutLayout(), frm_about_id::Text1),
                                 about.get())
                     .has_value());
}

} // namespace
} // namespace zorvo
