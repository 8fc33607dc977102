#include "ui/message_loop_win32.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace zorvo::ui {

namespace {

HWND g_mainWindow = nullptr;
HACCEL g_accelerators = nullptr;

std::vector<std::pair<HWND, HWND>>& tooltips() {
    static std::vector<std::pair<HWND, HWND>> forms;
    return forms;
}

/// Gives a key of the main window to its accelerators; true when they took it.
bool translateAccelerator(MSG& message) noexcept {
    if (!message.hwnd || message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
        return false;
    }
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    return root && root == g_mainWindow && g_accelerators &&
           TranslateAcceleratorW(root, g_accelerators, &message);
}

} // namespace

void setMainWindow(HWND window, HACCEL accelerators) noexcept {
    g_mainWindow = window;
    g_accelerators = accelerators;
}

void registerTooltip(HWND form, HWND tooltip) {
    tooltips().emplace_back(form, tooltip);
}

void unregisterTooltip(HWND form) noexcept {
    auto& forms = tooltips();
    forms.erase(std::remove_if(forms.begin(), forms.end(),
                               [form](const auto& entry) { return entry.first == form; }),
                forms.end());
}

void relayToTooltip(MSG& message) noexcept {
    if (!message.hwnd || message.message < WM_MOUSEFIRST || message.message > WM_MOUSELAST ||
        tooltips().empty()) {
        return;
    }
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    for (const auto& [form, tooltip] : tooltips()) {
        if (form == root) {
            SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
            return;
        }
    }
}

int runMessageLoop() noexcept {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return 1;
        }
        relayToTooltip(message);
        if (!translateAccelerator(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace zorvo::ui
