#include "ui/menu_win32.h"

#include <stdexcept>
#include <string>

namespace zorvo::ui {

UINT MenuItemWin32::state() const {
    return menu_ ? GetMenuState(menu_, static_cast<UINT>(id_), MF_BYCOMMAND) : UINT(-1);
}

bool MenuItemWin32::checked() const {
    const UINT s = state();
    return s == UINT(-1) ? lastChecked_ : (s & MF_CHECKED) != 0;
}

void MenuItemWin32::setChecked(bool on) {
    lastChecked_ = on;
    if (menu_) {
        CheckMenuItem(menu_, static_cast<UINT>(id_),
                      MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    }
}

bool MenuItemWin32::enabled() const {
    const UINT s = state();
    return s == UINT(-1) ? lastEnabled_ : (s & (MF_GRAYED | MF_DISABLED)) == 0;
}

void MenuItemWin32::setEnabled(bool on) {
    lastEnabled_ = on;
    if (menu_) {
        EnableMenuItem(menu_, static_cast<UINT>(id_), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    }
}

void MenuItemWin32::detach() {
    lastChecked_ = checked();
    lastEnabled_ = enabled();
    menu_ = nullptr;
}

namespace {

/// One item of a drop-down menu, with its shortcut shown after a tab and added to `accelerators`.
void appendItem(HMENU popup, const MenuDesc& entry, std::vector<ACCEL>& accelerators) {
    std::wstring text(entry.caption);
    if (!entry.shortcut.empty()) {
        text += L'\t';
        text += entry.shortcut.text;
        const int modifiers = FVIRTKEY | (entry.shortcut.ctrl ? FCONTROL : 0) |
                              (entry.shortcut.alt ? FALT : 0) | (entry.shortcut.shift ? FSHIFT : 0);
        accelerators.push_back(ACCEL{static_cast<BYTE>(modifiers),
                                     static_cast<WORD>(entry.shortcut.virtualKey),
                                     static_cast<WORD>(entry.id)});
    }
    const UINT flags = MF_STRING | (entry.checked ? MF_CHECKED : MF_UNCHECKED) |
                       (entry.enabled ? MF_ENABLED : MF_GRAYED);
    AppendMenuW(popup, flags, static_cast<UINT_PTR>(entry.id), text.c_str());
}

} // namespace

MenuBarWin32::MenuBarWin32(std::span<const MenuDesc> menus) {
    owned_.reset(CreateMenu());
    menu_ = owned_.get();
    if (!menu_) {
        throw std::runtime_error("the menu bar could not be created");
    }
    std::vector<ACCEL> accelerators;
    for (const MenuDesc& top : menus) {
        if (!top.parent.empty()) {
            continue;
        }
        unique_hmenu popup(CreatePopupMenu());
        if (!popup) {
            throw std::runtime_error("a menu could not be created");
        }
        for (const MenuDesc& entry : menus) {
            if (entry.parent != top.name) {
                continue;
            }
            if (entry.separator) {
                AppendMenuW(popup.get(), MF_SEPARATOR, 0, nullptr);
                continue;
            }
            appendItem(popup.get(), entry, accelerators);
            items_.push_back(std::make_unique<MenuItemWin32>(menu_, entry.id));
        }
        const std::wstring caption(top.caption);
        if (AppendMenuW(menu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.get()),
                        caption.c_str())) {
            popup.release(); // the bar owns it now
        }
    }
    if (!accelerators.empty()) {
        accelerators_.reset(
            CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size())));
    }
}

MenuItemWin32* MenuBarWin32::item(int id) const {
    for (const auto& entry : items_) {
        if (entry->id() == id) {
            return entry.get();
        }
    }
    return nullptr;
}

void MenuBarWin32::detach() {
    for (const auto& entry : items_) {
        entry->detach();
    }
    menu_ = nullptr;
}

} // namespace zorvo::ui
