#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/frm_main_layout.h"
#include "batch/frm_bat_layout.h"
#include "dialogs/frm_about.h"
#include "dialogs/frm_about_layout.h"
#include "dialogs/frm_dial_layout.h"
#include "fakes.h"
#include "ui/palette.h"

namespace zorvo {
namespace {

using fakes::FakeLabel;
using ui::LabelLook;
using ui::Palette;

// System colours (window, its text, hot light, highlight, highlighted text, grey text) that match
// none of the design's, nor each other, so a test can tell where each drawn colour came from.
constexpr ui::SystemColours kSystem{0x00010203, 0x00F0F1F2, 0x0011EE22,
                                    0x00AA3300, 0x0000CCDD, 0x00777776};
constexpr Palette kNormal{.highContrast = false, .system = kSystem};
constexpr Palette kHighContrast{.highContrast = true, .system = kSystem};

/// A fake label as the form's table makes it.
FakeLabel designed(const ControlDesc& desc) {
    FakeLabel label;
    fakes::fromDesign(label, desc);
    return label;
}

LabelLook lookOf(const Palette& palette, const ControlDesc& desc, const Label& label) {
    return ui::labelLook(
        palette, desc,
        ui::LabelState{label.foreColour(), label.backColour(), label.border(), label.enabled()});
}

// Without high contrast every form keeps its design; with it, every form is drawn in the
// system's colours without its picture.
TEST(Palette, EveryFormAsDesignedOrInTheSystemsColours) {
    for (const FormDesc* form :
         {&frmMainLayout(), &frmBatLayout(), &frmAboutLayout(), &frmDialLayout()}) {
        for (const Palette& palette : {kNormal, kHighContrast}) {
            const bool high = palette.highContrast;
            const std::wstring formName = std::wstring(form->className) + (high ? L" high" : L"");
            const ui::BackgroundLook background = ui::backgroundLook(palette, *form);
            EXPECT_EQ(background.picture, !high) << formName;
            EXPECT_EQ(background.colour, high ? kSystem.window : form->backColour) << formName;
            for (const ControlDesc& desc : form->controls) {
                const std::wstring name = formName + L"." + std::wstring(desc.name);
                const Colour designBack = desc.backColour.value_or(form->backColour);
                if (desc.kind != ControlKind::Label) {
                    const ui::ControlLook look =
                        ui::controlLook(palette, desc, form->backColour, true);
                    EXPECT_EQ(look.text, high ? kSystem.windowText : desc.foreColour) << name;
                    EXPECT_EQ(look.back, high ? kSystem.window : designBack) << name;
                    EXPECT_TRUE(!high ||
                                ui::controlLook(palette, desc, form->backColour, false).text ==
                                    kSystem.grayText)
                        << name;
                    continue;
                }
                const LabelLook look = lookOf(palette, desc, designed(desc));
                const Colour hot = desc.clickable ? kSystem.hotLight : kSystem.windowText;
                EXPECT_EQ(look.text, high ? hot : desc.foreColour) << name;
                // A box in the design stays a box, in the window's colour under high contrast; no
                // label takes the picture, and transparent stays transparent.
                EXPECT_EQ(look.fill,
                          high && desc.backColour ? std::optional(kSystem.window) : desc.backColour)
                    << name;
                // A label-button drawn on a box in the design keeps its shape as an outline.
                const bool outlined = high && desc.clickable && desc.backColour.has_value();
                EXPECT_EQ(look.frame, outlined ? std::optional(kSystem.hotLight) : std::nullopt)
                    << name;
            }
        }
    }
}

// The popup must show fully opaque: nothing it paints may match its colour key, even read as the
// key's colour part alone (a white high-contrast scheme paints white, a black one black).
TEST(Palette, ThePopupKeysOutNothingItPaints) {
    const FormDesc& popup = frmDialLayout();
    ui::SystemColours whiteScheme = kSystem, blackScheme = kSystem;
    whiteScheme.window = 0x00FFFFFF;
    blackScheme.window = 0;
    for (const Palette& palette :
         {kNormal, kHighContrast, Palette{true, whiteScheme}, Palette{true, blackScheme}}) {
        const ui::OpaqueLayering layering = ui::opaqueLayering(palette);
        if (!layering.colourKey) {
            EXPECT_EQ(layering.alpha, 255) << "high contrast " << palette.highContrast;
            continue;
        }
        std::vector<Colour> painted{ui::backgroundLook(palette, popup).colour};
        for (const ControlDesc& desc : popup.controls) {
            const LabelLook look = lookOf(palette, desc, designed(desc));
            painted.push_back(look.text);
            if (look.fill) {
                painted.push_back(*look.fill);
            }
        }
        for (const Colour colour : painted) {
            EXPECT_NE(colour & 0x00FFFFFFU, layering.key & 0x00FFFFFFU)
                << "high contrast " << palette.highContrast << ", colour " << colour;
        }
    }
}

/// The two kinds of hover highlight, as the real handlers set them: a text colour on a transparent
/// label (the main window's buttons, the link) and a back colour with a border (the dialogs'
/// buttons). Without high contrast they show as designed; with it, in the system's highlight
/// colours, and the label at rest goes back to the hot-light colour.
TEST(Palette, EveryHoverHighlightShowsInBothPalettes) {
    fakes::AboutHarness about;
    const ControlDesc& okDesc = control(frmAboutLayout(), L"lblOK");
    const ControlDesc& linkDesc = control(frmAboutLayout(), L"lblHomePage");
    const FakeLabel &ok = about.ok, &link = about.link;
    about.send(L"lblOK", Event::MouseMove);
    about.send(L"lblHomePage", Event::MouseMove);
    LabelLook look = lookOf(kNormal, okDesc, ok);
    EXPECT_EQ(look.fill, kDialogButtonHoverBack);
    EXPECT_EQ(look.frame, okDesc.foreColour) << "the border is drawn in the text colour";
    EXPECT_EQ(lookOf(kNormal, linkDesc, link).text, kLinkHoverColour);
    EXPECT_FALSE(lookOf(kNormal, linkDesc, link).fill) << "the link stays transparent";

    for (const auto& [desc, label] : {std::pair{&okDesc, &ok}, std::pair{&linkDesc, &link}}) {
        const std::wstring name(desc->name);
        look = lookOf(kHighContrast, *desc, *label);
        EXPECT_EQ(look.fill, kSystem.highlight) << name;
        EXPECT_EQ(look.text, kSystem.highlightText) << name;
        EXPECT_NE(look.text, look.fill.value_or(kSystem.window)) << name << " unreadable";
    }
    EXPECT_EQ(lookOf(kHighContrast, okDesc, ok).frame, kSystem.highlightText);

    about.send(L"", Event::MouseMove);
    for (const auto& [desc, label] : {std::pair{&okDesc, &ok}, std::pair{&linkDesc, &link}}) {
        look = lookOf(kHighContrast, *desc, *label);
        EXPECT_EQ(look.text, kSystem.hotLight) << std::wstring(desc->name);
        EXPECT_NE(look.fill, kSystem.highlight) << std::wstring(desc->name);
    }
}

// The main window's button highlighted, then greyed while it stays in its hover colour.
TEST(Palette, HighContrastGreysADisabledLabelEvenWhenItWasLeftHighlighted) {
    fakes::StartedMain main;
    const ControlDesc& activate = control(frmMainLayout(), L"lblActivate");
    main.send(L"lblActivate", Event::MouseMove);
    EXPECT_EQ(lookOf(kNormal, activate, main.lblActivate).text, kButtonHoverColour);
    EXPECT_EQ(lookOf(kHighContrast, activate, main.lblActivate).fill, kSystem.highlight);
    main.click(L"lblActivate"); // running: the label is disabled, still in its hover colour
    ASSERT_FALSE(main.lblActivate.enabled());
    EXPECT_EQ(lookOf(kNormal, activate, main.lblActivate).text, kSystem.grayText);
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
