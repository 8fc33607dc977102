#include "ui/modal_form_win32.h"

#include "ui/message_loop_win32.h"

namespace zorvo::ui {

FormOptions dialogOptions(HINSTANCE instance, HWND owner) {
    FormOptions options;
    options.instance = instance;
    options.owner = owner;
    // A minimised owner sits far off the screen: centre on the screen instead.
    options.startPosition = owner && IsWindowVisible(owner) && !IsIconic(owner)
                                ? StartPosition::CentreOwner
                                : StartPosition::CentreScreen;
    return options;
}

void runModal(FormWindow& dialog, HWND owner) noexcept {
    if (!dialog.alive()) {
        return;
    }
    if (owner) {
        EnableWindow(owner, FALSE);
    }
    ShowWindow(dialog.hwnd(), SW_SHOW);
    SetForegroundWindow(dialog.hwnd());

    MSG message;
    while (dialog.alive()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        ui::relayToTooltip(message);
        if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && message.hwnd) {
            const HWND root = GetAncestor(message.hwnd, GA_ROOT);
            if (root == dialog.hwnd()) {
                // Enter and Esc press the dialog's buttons, wherever the focus is; Tab and the
                // arrows move among its controls.
                if (dialog.takeDialogKey(message) || IsDialogMessageW(root, &message)) {
                    continue;
                }
            } else if (root && !IsWindowEnabled(root)) {
                // Keys meant for the disabled owner (only a script can send them): the owner
                // takes no input while the dialog is open, and its shortcuts stay silent.
                continue;
            }
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    endModal(dialog, owner);
}

void endModal(FormWindow& dialog, HWND owner) noexcept {
    if (owner && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
        if (dialog.alive() && GetActiveWindow() == dialog.hwnd() && IsWindowVisible(owner)) {
            SetActiveWindow(owner);
        }
    }
    dialog.destroy();
}

} // namespace zorvo::ui
