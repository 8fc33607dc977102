#include "dialogs/frm_about_layout.h"

#include <array>

#include "core/product.h"
#include "dialogs/frm_about.h"

namespace zorvo {

namespace {

namespace id = frm_about_id;

constexpr wchar_t kFont[] = L"Comic Sans MS";

constexpr std::array kControls{
    // The only control that takes the focus; its text is set at every opening.
    ControlDesc{.id = id::Text1,
                .name = L"Text1",
                .kind = ControlKind::TextBox,
                .left = 0,
                .top = 0,
                .width = 3495,
                .height = 1455,
                .foreColour = 0x00FFFFC0,
                .backColour = 0x00404000,
                .fontFace = kFont,
                .pointSize = 9,
                .tabIndex = 0},
    ControlDesc{.id = id::lblHomePage,
                .name = L"lblHomePage",
                .caption = L"Сайт программы",
                .left = 900,
                .top = 1560,
                .width = 1815,
                .height = 255,
                .foreColour = kLinkColour,
                .fontFace = L"MS Sans Serif",
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .tooltip = kHomePage,
                .clickable = true,
                .link = true},
    ControlDesc{.id = id::lblOK,
                .name = L"lblOK",
                .caption = L"OK",
                .left = 1200,
                .top = 1920,
                .width = 1155,
                .height = 315,
                .foreColour = 0x00FFFFFF,
                .backColour = kDialogButtonBack,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .clickable = true},
};

constexpr FormDesc kForm{
    .className = L"frmAbout",
    .caption = kAboutCaption,
    .clientWidth = 3510,
    .clientHeight = 2295,
    .backColour = 0x00000000,
    .border = BorderStyle::FixedToolWindow,
    .showInTaskbar = false,
    .controls = kControls,
    // Enter and Esc both close the box, as its only button does.
    .defaultControl = id::lblOK,
    .cancelControl = id::lblOK,
};

using FormRoute = Route<frmAbout>;

constexpr std::array kRoutes{
    FormRoute{kFormSource, Event::MouseMove, &frmAbout::Form_MouseMove},
    FormRoute{id::lblHomePage, Event::Click, &frmAbout::lblHomePage_Click},
    FormRoute{id::lblHomePage, Event::MouseMove, &frmAbout::lblHomePage_MouseMove},
    FormRoute{id::lblOK, Event::Click, &frmAbout::lblOK_Click},
    FormRoute{id::lblOK, Event::MouseMove, &frmAbout::lblOK_MouseMove},
};

} // namespace

const FormDesc& frmAboutLayout() {
    return kForm;
}

std::span<const Route<frmAbout>> frmAboutRoutes() {
    return kRoutes;
}

} // namespace zorvo
