#pragma once
// Running a dialog form modally over the main window: the owner takes no input while the dialog is
// open, the dialog's keys go through the dialog manager, and the owner gets the activation back
// when it closes.

#include <windows.h>

#include "ui/form_window_win32.h"

namespace zorvo {

/// A dialog owned by `owner` (so it stays above it and out of the taskbar), centred on it while it
/// shows on the screen.
ui::FormOptions dialogOptions(HINSTANCE instance, HWND owner);

/// Disables `owner`, shows `dialog` and handles messages until the dialog is gone. A WM_QUIT met
/// on the way is put back for the main loop. The owner's menu shortcuts never fire meanwhile.
void runModal(ui::FormWindow& dialog, HWND owner) noexcept;

/// Closes a modal dialog: the owner is enabled and activated first, so the activation goes back to
/// it rather than to some other program, then the dialog's window is destroyed.
void endModal(ui::FormWindow& dialog, HWND owner) noexcept;

} // namespace zorvo
