#include "app/dialog_host_win32.h"

namespace zorvo {

// Placeholders until frmBat and frmAbout have their windows: choosing the items does nothing.
void DialogHostWin32::showBatDialog() {}

void DialogHostWin32::showAboutDialog() {}

} // namespace zorvo
