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

/// Gives the message to the accelerators or the dialog manager; true when it was consumed there.
/// A modal loop of a dialog calls it too.
bool preTranslateMessage(MSG& message) noexcept;

/// Runs until WM_QUIT and returns its exit code.
int runMessageLoop() noexcept;

} // namespace zorvo::ui
