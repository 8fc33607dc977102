#include "dialogs/frm_dial_win32.h"

#include "dialogs/frm_dial_layout.h"
#include "ui/label_win32.h"
#include "ui/palette.h"

namespace zorvo {

ui::FormWindow& FrmDialWin32::window() {
    if (!window_) {
        ui::FormOptions options;
        options.instance = instance_;
        options.startPosition = StartPosition::CentreMonitor;
        ui::FormEvents& events = *this;
        window_ = std::make_unique<ui::FormWindow>(frmDialLayout(), events, options);
        Form_Load();
    }
    return *window_;
}

void FrmDialWin32::Form_Load() {
    const HWND hwnd = window_->hwnd();
    // Exactly the layered style; the window stays out of the taskbar because it is owned.
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, WS_EX_LAYERED);
    applyLayering(window_->palette());
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void FrmDialWin32::applyLayering(const ui::Palette& palette) {
    // Fully opaque either way: a colour key that nothing painted matches, or full alpha where the
    // system's colours could match it.
    const ui::OpaqueLayering layering = ui::opaqueLayering(palette);
    SetLayeredWindowAttributes(window_->hwnd(), layering.key, layering.alpha,
                               layering.colourKey ? LWA_COLORKEY : LWA_ALPHA);
}

void FrmDialWin32::paletteChanged() {
    if (window_) { // not while the window is still being made
        applyLayering(window_->palette());
    }
}

void FrmDialWin32::setLabelCaption(const std::wstring& text) {
    window().label(frm_dial_id::Label1).setCaption(text);
}

bool FrmDialWin32::visible() const {
    return window_ && window_->visible();
}

void FrmDialWin32::hide() {
    if (window_ && window_->alive()) {
        ShowWindow(window_->hwnd(), SW_HIDE);
    }
}

void FrmDialWin32::show() {
    const ui::FormWindow& popup = window();
    if (popup.alive()) {
        ShowWindow(popup.hwnd(), SW_SHOWNOACTIVATE);
    }
}

} // namespace zorvo
