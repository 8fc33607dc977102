#pragma once
// The about box's design: its window and controls, with the control IDs that outside tools rely on.

#include <span>

#include "core/form_layout.h"

namespace zorvo::frm_about_id {

inline constexpr int Text1 = 4001;
inline constexpr int lblHomePage = 4002;
inline constexpr int lblOK = 4003;

} // namespace zorvo::frm_about_id

namespace zorvo {

inline constexpr wchar_t kAboutCaption[] = L"О программе...";

class frmAbout;

const FormDesc& frmAboutLayout();
/// Which handler of frmAbout each event of the design runs.
std::span<const Route<frmAbout>> frmAboutRoutes();

} // namespace zorvo
