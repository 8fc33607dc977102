#include "batch/frm_bat_layout.h"

#include <array>

#include "batch/frm_bat.h"
#include "core/product.h"

namespace zorvo {

namespace {

namespace id = frm_bat_id;

constexpr wchar_t kFont[] = L"Comic Sans MS";
constexpr Colour kCaptionColour = 0x00FFFFC0;
constexpr Colour kEntryColour = 0x00FFFF80;
constexpr Colour kEntryBack = 0x00400000;
constexpr Colour kBlack = 0x00000000;
constexpr Colour kWhite = 0x00FFFFFF;

// Table order is creation order, and with it the order Tab walks: the two boxes, then the
// option group. The labels take no focus.
constexpr std::array kControls{
    ControlDesc{.id = id::Label1,
                .name = L"Label1",
                .caption = L"Время",
                .left = 120,
                .top = 120,
                .width = 975,
                .height = 255,
                .foreColour = kCaptionColour,
                .fontFace = kFont,
                .pointSize = 9},
    ControlDesc{.id = id::Label2,
                .name = L"Label2",
                .caption = L"Действие",
                .left = 1320,
                .top = 120,
                .width = 1215,
                .height = 255,
                .foreColour = kCaptionColour,
                .fontFace = kFont,
                .pointSize = 9},
    ControlDesc{.id = id::Combo1,
                .name = L"Combo1",
                .kind = ControlKind::ComboBox,
                .caption = L"1",
                .left = 120,
                .top = 480,
                .width = 735,
                .height = 345,
                .foreColour = kEntryColour,
                .backColour = kEntryBack,
                .fontFace = kFont,
                .pointSize = 8.25,
                .tooltip = L"В минутах",
                .tabIndex = 0,
                .labelledBy = id::Label1},
    ControlDesc{.id = id::Combo2,
                .name = L"Combo2",
                .kind = ControlKind::DropDownList,
                .left = 1320,
                .top = 480,
                .width = 1935,
                .height = 345,
                .foreColour = kEntryColour,
                .backColour = kEntryBack,
                .fontFace = kFont,
                .pointSize = 8.25,
                .tabIndex = 1,
                .labelledBy = id::Label2},
    ControlDesc{.id = id::Frame1,
                .name = L"Frame1",
                .kind = ControlKind::Frame,
                .caption = L"Режим окна",
                .left = 120,
                .top = 960,
                .width = 3135,
                .height = 1575,
                .foreColour = kCaptionColour,
                .backColour = kBlack,
                .fontFace = kFont,
                .pointSize = 9,
                .tabIndex = 2},
    ControlDesc{.id = id::Option1,
                .name = L"Option1",
                .kind = ControlKind::OptionButton,
                .caption = L"Обычный",
                .left = 120,
                .top = 360,
                .width = 1095,
                .height = 255,
                .foreColour = kEntryColour,
                .backColour = kBlack,
                .fontFace = kFont,
                .pointSize = 8.25,
                .tooltip = L"Откроется в обычном виде",
                .tabIndex = 3,
                .parentId = id::Frame1},
    ControlDesc{.id = id::Option2,
                .name = L"Option2",
                .kind = ControlKind::OptionButton,
                .caption = L"Минимизированный",
                .left = 120,
                .top = 720,
                .width = 2655,
                .height = 255,
                .foreColour = kEntryColour,
                .backColour = kBlack,
                .fontFace = kFont,
                .pointSize = 8.25,
                .tooltip = L"Откроется в минимизированном состоянии",
                .tabIndex = 4,
                .parentId = id::Frame1},
    ControlDesc{.id = id::Option3,
                .name = L"Option3",
                .kind = ControlKind::OptionButton,
                .caption = L"Скрытый",
                .left = 120,
                .top = 1080,
                .width = 2055,
                .height = 255,
                .foreColour = kEntryColour,
                .backColour = kBlack,
                .fontFace = kFont,
                .pointSize = 8.25,
                .tooltip = L"Откроется свернутым в трее",
                .tabIndex = 5,
                .parentId = id::Frame1},
    ControlDesc{.id = id::lblOK,
                .name = L"lblOK",
                .caption = L"Генерация",
                .left = 120,
                .top = 2640,
                .width = 1515,
                .height = 315,
                .foreColour = kWhite,
                .backColour = kDialogButtonBack,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .clickable = true},
    ControlDesc{.id = id::lblCancel,
                .name = L"lblCancel",
                .caption = L"Отмена",
                .left = 1920,
                .top = 2640,
                .width = 1335,
                .height = 315,
                .foreColour = kWhite,
                .backColour = kDialogButtonBack,
                .fontFace = kFont,
                .pointSize = 9.75,
                .alignment = Alignment::Centre,
                .clickable = true},
};

constexpr FormDesc kForm{
    .className = L"frmBat",
    .caption = kBatCaption,
    .clientWidth = 3435,
    .clientHeight = 3060,
    .backColour = kBlack,
    .border = BorderStyle::FixedToolWindow,
    .showInTaskbar = false,
    .controls = kControls,
    .defaultControl = id::lblOK,
    .cancelControl = id::lblCancel,
};

using FormRoute = Route<frmBat>;

constexpr std::array kRoutes{
    FormRoute{kFormSource, Event::MouseMove, &frmBat::Form_MouseMove},
    FormRoute{id::Combo1, Event::Change, &frmBat::Combo1_Change},
    FormRoute{id::lblOK, Event::Click, &frmBat::lblOK_Click},
    FormRoute{id::lblOK, Event::MouseMove, &frmBat::lblOK_MouseMove},
    FormRoute{id::lblCancel, Event::Click, &frmBat::lblCancel_Click},
    FormRoute{id::lblCancel, Event::MouseMove, &frmBat::lblCancel_MouseMove},
};

} // namespace

const FormDesc& frmBatLayout() {
    return kForm;
}

std::span<const Route<frmBat>> frmBatRoutes() {
    return kRoutes;
}

} // namespace zorvo
