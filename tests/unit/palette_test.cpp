#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frm_main_layout.h"
#include "batch/frm_bat.h"
#include "batch/frm_bat_layout.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"
#include "dialogs/frm_dial_layout.h"
#include "fakes.h"
#include "ui/palette.h"

namespace zorvo {
namespace {

using fakes::FakeLabel;
using ui::ControlDesc;
using ui::ControlKind;
using ui::FormDesc;
using ui::LabelLook;
using ui::Palette;

// System colours that match none of the design's, nor each other, so a test can tell where each
// drawn colour came from.
constexpr ui::SystemColours kSystem{.window = 0x00010203,
                                    .windowText = 0x00F0F1F2,
                                    .hotLight = 0x0011EE22,
                                    .highlight = 0x00AA3300,
                                    .highlightText = 0x0000CCDD,
                                    .grayText = 0x00777776};
constexpr Palette kNormal{.highContrast = false, .system = kSystem};
constexpr Palette kHighContrast{.highContrast = true, .system = kSystem};

std::vector<const FormDesc*> allForms() {
    return {&frmMainLayout(), &frmBatLayout(), &frmAboutLayout(), &frmDialLayout()};
}

/// A fake label as the form's table makes it.
FakeLabel designed(const ControlDesc& desc) {
    FakeLabel label{std::wstring(desc.caption), desc.foreColour};
    label.back_ = desc.backColour.value_or(0);
    return label;
}

LabelLook lookOf(const Palette& palette, const ControlDesc& desc, const ui::Label& label) {
    return ui::labelLook(
        palette, desc,
        ui::LabelState{label.foreColour(), label.backColour(), label.border(), label.enabled()});
}

const ControlDesc& control(const FormDesc& form, const wchar_t* name) {
    const ControlDesc* desc = ui::findControl(form, name);
    EXPECT_NE(desc, nullptr) << std::wstring(name);
    return *desc;
}

/// A text that shows: it differs from whatever lies under it.
void expectReadable(const LabelLook& look, ui::Colour under, const std::wstring& what) {
    EXPECT_NE(look.text, look.fill.value_or(under)) << what;
}

TEST(Palette, WithoutHighContrastEveryFormKeepsItsDesign) {
    for (const FormDesc* form : allForms()) {
        const ui::BackgroundLook background = ui::backgroundLook(kNormal, *form);
        EXPECT_TRUE(background.picture) << std::wstring(form->className);
        EXPECT_EQ(background.colour, form->backColour) << std::wstring(form->className);
        for (const ControlDesc& desc : form->controls) {
            const std::wstring name(desc.name);
            if (desc.kind != ControlKind::Label) {
                const ui::ControlLook look = ui::controlLook(kNormal, desc, form->backColour, true);
                EXPECT_EQ(look.text, desc.foreColour) << name;
                EXPECT_EQ(look.back, desc.backColour.value_or(form->backColour)) << name;
                continue;
            }
            const FakeLabel label = designed(desc);
            const LabelLook look = lookOf(kNormal, desc, label);
            EXPECT_EQ(look.text, desc.foreColour) << name;
            EXPECT_EQ(look.fill, desc.backColour) << name << ": transparent stays transparent";
            EXPECT_FALSE(look.frame) << name;
        }
    }
}

TEST(Palette, WithoutHighContrastTheHandlersHighlightsShowAsDesigned) {
    fakes::Journal journal;
    fakes::FakeForm form{journal};
    const FormDesc& about = frmAboutLayout();
    const ControlDesc& okDesc = control(about, L"lblOK");
    const ControlDesc& linkDesc = control(about, L"lblHomePage");
    FakeLabel ok = designed(okDesc);
    FakeLabel link = designed(linkDesc);
    struct NoLinks final : LinkOpener {
        void open(const std::wstring&) override {}
    } links;
    struct : fakes::FakeControl<ui::TextBox> {
        std::wstring text() const override { return {}; }
        void setText(const std::wstring&) override {}
    } text1;
    frmAbout logic{AboutControls{form, text1, link, ok}, links};

    logic.lblOK_MouseMove();
    logic.lblHomePage_MouseMove();
    const LabelLook hot = lookOf(kNormal, okDesc, ok);
    EXPECT_EQ(hot.fill, kDialogButtonHoverBack);
    EXPECT_EQ(hot.frame, okDesc.foreColour) << "the border is drawn in the text colour";
    EXPECT_EQ(lookOf(kNormal, linkDesc, link).text, kLinkHoverColour);
    EXPECT_FALSE(lookOf(kNormal, linkDesc, link).fill) << "the link stays transparent";

    fakes::MainHarness main;
    main.start();
    const ControlDesc& activate = control(frmMainLayout(), L"lblActivate");
    main.form_.lblActivate_MouseMove();
    EXPECT_EQ(lookOf(kNormal, activate, main.lblActivate).text, kButtonHoverColour);
    main.form_.lblActivate_Click();
    EXPECT_EQ(lookOf(kNormal, activate, main.lblActivate).text, kSystem.grayText)
        << "a disabled label is greyed";
}

TEST(Palette, HighContrastDrawsEveryFormInTheSystemsColoursWithoutThePicture) {
    for (const FormDesc* form : allForms()) {
        const std::wstring formName(form->className);
        const ui::BackgroundLook background = ui::backgroundLook(kHighContrast, *form);
        EXPECT_FALSE(background.picture) << formName;
        EXPECT_EQ(background.colour, kSystem.window) << formName;
        for (const ControlDesc& desc : form->controls) {
            const std::wstring name = formName + L"." + std::wstring(desc.name);
            if (desc.kind != ControlKind::Label) {
                const ui::ControlLook look =
                    ui::controlLook(kHighContrast, desc, form->backColour, true);
                EXPECT_EQ(look.text, kSystem.windowText) << name;
                EXPECT_EQ(look.back, kSystem.window) << name;
                EXPECT_EQ(ui::controlLook(kHighContrast, desc, form->backColour, false).text,
                          kSystem.grayText)
                    << name;
                continue;
            }
            const FakeLabel label = designed(desc);
            const LabelLook look = lookOf(kHighContrast, desc, label);
            EXPECT_EQ(look.text, desc.clickable ? kSystem.hotLight : kSystem.windowText) << name;
            if (look.fill) {
                EXPECT_EQ(*look.fill, kSystem.window) << name;
            }
            // A label-button drawn on a box in the design keeps its shape as an outline.
            const bool outlined = desc.clickable && desc.backColour.has_value();
            EXPECT_EQ(look.frame, outlined ? std::optional(kSystem.hotLight) : std::nullopt)
                << name;
        }
    }
}

/// Every hover highlight of every form, as the real handlers set it, against the label at rest.
TEST(Palette, HighContrastKeepsEveryHoverHighlightVisible) {
    const auto expectHighlighted = [](const ControlDesc& desc, const ui::Label& label) {
        const std::wstring name(desc.name);
        const LabelLook look = lookOf(kHighContrast, desc, label);
        EXPECT_EQ(look.fill, kSystem.highlight) << name;
        EXPECT_EQ(look.text, kSystem.highlightText) << name;
        expectReadable(look, kSystem.window, name);
    };
    const auto expectResting = [](const ControlDesc& desc, const ui::Label& label) {
        const LabelLook look = lookOf(kHighContrast, desc, label);
        EXPECT_EQ(look.text, kSystem.hotLight) << std::wstring(desc.name);
        EXPECT_NE(look.fill, kSystem.highlight) << std::wstring(desc.name);
    };

    // The main window: a text colour.
    fakes::MainHarness main;
    main.start();
    const FormDesc& mainForm = frmMainLayout();
    const ControlDesc& activate = control(mainForm, L"lblActivate");
    const ControlDesc& reset = control(mainForm, L"lblReset");
    main.form_.lblActivate_MouseMove();
    expectHighlighted(activate, main.lblActivate);
    main.form_.Form_MouseMove();
    expectResting(activate, main.lblActivate);
    main.form_.lblActivate_Click();
    main.form_.lblReset_MouseMove();
    expectHighlighted(reset, main.lblReset);
    main.form_.Form_MouseMove();
    expectResting(reset, main.lblReset);

    // The batch-file dialog: a back colour and a border.
    fakes::Journal journal;
    fakes::FakeForm form{journal};
    fakes::FakeComboBox combo1, combo2;
    struct Option final : fakes::FakeControl<ui::OptionButton> {
        bool value() const override { return false; }
        void setValue(bool) override {}
    } option1, option2, option3;
    const FormDesc& batForm = frmBatLayout();
    const ControlDesc& generate = control(batForm, L"lblOK");
    const ControlDesc& cancel = control(batForm, L"lblCancel");
    FakeLabel lblOK = designed(generate);
    FakeLabel lblCancel = designed(cancel);
    fakes::FakeMessages messages{journal};
    fakes::FakeLocale locale;
    fakes::FakeProcess process;
    fakes::FakeFiles files{journal};
    frmBat bat{BatControls{form, combo1, combo2, option1, option2, option3, lblOK, lblCancel},
               BatServices{messages, locale, process, files,
                           [](const std::wstring&) { return std::nullopt; }}};
    bat.lblOK_MouseMove();
    expectHighlighted(generate, lblOK);
    EXPECT_EQ(lookOf(kHighContrast, generate, lblOK).frame, kSystem.highlightText);
    expectResting(cancel, lblCancel);
    bat.lblCancel_MouseMove();
    expectHighlighted(cancel, lblCancel);
    bat.Form_MouseMove();
    expectResting(generate, lblOK);
    expectResting(cancel, lblCancel);

    // The about box: a text colour on a transparent link, and a dialog button.
    const FormDesc& aboutForm = frmAboutLayout();
    const ControlDesc& ok = control(aboutForm, L"lblOK");
    const ControlDesc& link = control(aboutForm, L"lblHomePage");
    FakeLabel lblOKAbout = designed(ok);
    FakeLabel lblHomePage = designed(link);
    struct NoLinks final : LinkOpener {
        void open(const std::wstring&) override {}
    } links;
    struct : fakes::FakeControl<ui::TextBox> {
        std::wstring text() const override { return {}; }
        void setText(const std::wstring&) override {}
    } text1;
    frmAbout about{AboutControls{form, text1, lblHomePage, lblOKAbout}, links};
    about.lblHomePage_MouseMove();
    expectHighlighted(link, lblHomePage);
    about.lblOK_MouseMove();
    expectHighlighted(ok, lblOKAbout);
    about.Form_MouseMove();
    expectResting(link, lblHomePage);
    expectResting(ok, lblOKAbout);
}

TEST(Palette, HighContrastGreysADisabledLabelEvenWhenItWasLeftHighlighted) {
    fakes::MainHarness main;
    main.start();
    const ControlDesc& activate = control(frmMainLayout(), L"lblActivate");
    main.form_.lblActivate_MouseMove();
    main.form_.lblActivate_Click(); // running: the label is disabled, still in its hover colour
    ASSERT_FALSE(main.lblActivate.enabled());
    const LabelLook look = lookOf(kHighContrast, activate, main.lblActivate);
    EXPECT_EQ(look.text, kSystem.grayText);
    EXPECT_FALSE(look.fill);
    EXPECT_FALSE(ui::labelHighlighted(activate, {main.lblActivate.foreColour(), 0, false, false}));
}

TEST(Palette, ADisabledBoxShowsItsTextHalfWayToItsBackground) {
    const ControlDesc& minutes = control(frmMainLayout(), L"Combo1");
    // &H00FFFF80 on &H00400000: each byte half-way, rounded down.
    EXPECT_EQ(ui::controlLook(kNormal, minutes, 0, false).text, 0x009F7F40u);
    EXPECT_EQ(ui::controlLook(kNormal, minutes, 0, false).back, 0x00400000u);
}

} // namespace
} // namespace zorvo
