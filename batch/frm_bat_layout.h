#pragma once
// The batch-file dialog's design: its window and controls, with the control IDs that outside tools
// rely on.

#include <span>

#include "core/form_layout.h"

namespace zorvo::frm_bat_id {

inline constexpr int Label1 = 3001;
inline constexpr int Label2 = 3002;
inline constexpr int Combo1 = 3003;
inline constexpr int Combo2 = 3004;
inline constexpr int Frame1 = 3005;
inline constexpr int Option1 = 3006;
inline constexpr int Option2 = 3007;
inline constexpr int Option3 = 3008;
inline constexpr int lblOK = 3009;
inline constexpr int lblCancel = 3010;

} // namespace zorvo::frm_bat_id

namespace zorvo {

inline constexpr wchar_t kBatCaption[] = L"Генерация bat-файла";

class frmBat;

const FormDesc& frmBatLayout();
/// Which handler of frmBat each event of the design runs.
std::span<const Route<frmBat>> frmBatRoutes();

} // namespace zorvo
