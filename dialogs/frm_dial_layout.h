#pragma once
// The countdown popup's design: a borderless black window with one centred dark-red label.

#include "core/form_layout.h"

namespace zorvo {

namespace frm_dial_id {
inline constexpr int Label1 = 5001;
} // namespace frm_dial_id

const FormDesc& frmDialLayout();

} // namespace zorvo
