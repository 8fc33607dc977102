#include "dialogs/frm_dial_layout.h"

#include <array>

namespace zorvo {

namespace {

constexpr std::array kControls{
    ControlDesc{.id = frm_dial_id::Label1,
                .name = L"Label1",
                .caption = L"Label1",
                .left = 0,
                .top = 1080,
                .width = 4095,
                .height = 735,
                .foreColour = 0x000000C0,
                .fontFace = L"MS Sans Serif",
                .pointSize = 13.5,
                .alignment = Alignment::Centre},
};

constexpr FormDesc kForm{
    .className = L"frmDial",
    .caption = L"Form1",
    .clientWidth = 4155,
    .clientHeight = 3090,
    .backColour = 0x00000000,
    .border = BorderStyle::None,
    .showInTaskbar = false,
    .controls = kControls,
};

} // namespace

const FormDesc& frmDialLayout() {
    return kForm;
}

} // namespace zorvo
