#pragma once
// A menu bar and its accelerator table, both built from one menu table, and its items as
// MenuItem (check mark and enabled state read from the real menu, by command ID).

#include <windows.h>

#include <memory>
#include <span>
#include <vector>

#include "core/controls.h"
#include "core/form_layout.h"
#include "core/unique_handle_win32.h"

namespace zorvo::ui {

class MenuItemWin32 final : public MenuItem {
public:
    MenuItemWin32(HMENU menu, int id) : menu_(menu), id_(id) {}

    int id() const { return id_; }
    bool checked() const override;
    void setChecked(bool on) override;
    bool enabled() const override;
    void setEnabled(bool on) override;
    /// The menu went with its window; the last known state is kept.
    void detach();

private:
    UINT state() const;

    HMENU menu_;
    int id_;
    bool lastChecked_ = false;
    bool lastEnabled_ = true;
};

class MenuBarWin32 {
public:
    /// Throws std::runtime_error when the menu cannot be built.
    explicit MenuBarWin32(std::span<const MenuDesc> menus);

    /// The menu bar, for CreateWindowEx. Once the window holds it, the window destroys it.
    HMENU handle() const { return menu_; }
    void attachedToWindow() { owned_.release(); }
    /// Null when no item has a shortcut.
    HACCEL accelerators() const { return accelerators_.get(); }
    /// Null for an ID that is not one of the items.
    MenuItemWin32* item(int id) const;
    void detach();

private:
    unique_hmenu owned_;
    HMENU menu_ = nullptr;
    unique_haccel accelerators_;
    std::vector<std::unique_ptr<MenuItemWin32>> items_;
};

} // namespace zorvo::ui
