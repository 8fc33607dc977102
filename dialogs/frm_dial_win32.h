#pragma once
// The countdown popup on a real window: borderless, black, topmost, never in the taskbar, created
// hidden the first time its label is set.

#include <windows.h>

#include <memory>
#include <string>

#include "dialogs/popup.h"
#include "ui/form_window_win32.h"

namespace zorvo {

class FrmDialWin32 final : public Popup, private ui::FormEvents {
public:
    explicit FrmDialWin32(HINSTANCE instance) : instance_(instance) {}

    void setLabelCaption(const std::wstring& text) override;
    bool visible() const override;
    void hide() override;
    void show() override;

    /// The window, null before the first use.
    HWND hwnd() const { return window_ ? window_->hwnd() : nullptr; }

private:
    ui::FormWindow& window();
    void Form_Load();
    void applyLayering(const ui::Palette& palette);
    void paletteChanged() override;

    HINSTANCE instance_;
    std::unique_ptr<ui::FormWindow> window_;
};

} // namespace zorvo
