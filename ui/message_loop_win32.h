#pragma once
// The thread's message loop: menu shortcuts for the main window, everything else dispatched as it
// comes. The dialogs are modal and run loops of their own (modal_form_win32).

#include <windows.h>

namespace zorvo::ui {

/// The window whose accelerators are translated, with its table (either may be null).
void setMainWindow(HWND window, HACCEL accelerators) noexcept;

/// A form's tooltip control. The loops hand it the mouse messages of the form's windows, so no
/// control has to be subclassed for it (a subclassed control pays for every message it gets,
/// its caret's blinks included).
void registerTooltip(HWND form, HWND tooltip);
void unregisterTooltip(HWND form) noexcept;
/// Hands a mouse message to the tooltip of the form whose window it is for.
void relayToTooltip(MSG& message) noexcept;

/// Runs until WM_QUIT and returns its exit code.
int runMessageLoop() noexcept;

} // namespace zorvo::ui
