#pragma once
// The thread's message loop: menu shortcuts for the main window, dialog keys (Tab, arrows) for
// the dialogs, everything else dispatched as it comes.

#include <windows.h>

namespace zorvo::ui {

/// The window whose accelerators are translated, with its table (either may be null).
void setMainWindow(HWND window, HACCEL accelerators) noexcept;

/// Windows whose keyboard messages go through IsDialogMessage while they exist.
void registerDialogWindow(HWND window);
void unregisterDialogWindow(HWND window) noexcept;

/// A form's tooltip control. The loops hand it the mouse messages of the form's windows, so no
/// control has to be subclassed for it (a subclassed control pays for every message it gets,
/// its caret's blinks included).
void registerTooltip(HWND form, HWND tooltip);
void unregisterTooltip(HWND form) noexcept;
/// Hands a mouse message to the tooltip of the form whose window it is for.
void relayToTooltip(MSG& message) noexcept;

/// Gives the message to the accelerators or the dialog manager; true when it was consumed there.
/// A modal loop of a dialog calls it too.
bool preTranslateMessage(MSG& message) noexcept;

/// Runs until WM_QUIT and returns its exit code.
int runMessageLoop() noexcept;

} // namespace zorvo::ui
