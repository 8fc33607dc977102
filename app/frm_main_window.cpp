// frmMain's window behaviour: the clock, the show hot key, the notification-area icon, hiding,
// staying on top, the modal dialogs and unloading.

#include "app/frm_main.h"

namespace zorvo {
namespace {

constexpr int kLeftControl = 0xA2;
constexpr int kKeyT = 0x54;
constexpr std::uint16_t kKeyHeld = 0x8000;
constexpr int kDoubleClick = 0x203;
constexpr std::int16_t kHotKeyDelayTicks = 30;
constexpr std::int16_t kHotKeyWrapTicks = 1000;

} // namespace

// ---- Clock and show hot key --------------------------------------------------------------------

void frmMain::Timer2_Timer() {
    c_.lblTime.setCaption(s_.clock.timeText());
}

void frmMain::Timer4_Timer() {
    if (HiddenTickCount >= kHotKeyWrapTicks) {
        HiddenTickCount = 0;
    }
    ++HiddenTickCount;
    if (HiddenTickCount < kHotKeyDelayTicks) {
        return;
    }
    const bool shown = c_.form.visible();
    const std::uint16_t control = s_.keyboard.asyncKeyState(kLeftControl);
    const std::uint16_t keyT = s_.keyboard.asyncKeyState(kKeyT);
    if (control == kKeyHeld && keyT == kKeyHeld && !shown) {
        c_.form.setVisible(true);
        c_.form.show();
        c_.form.setWindowState(WindowState::Normal);
        c_.Timer4.setEnabled(false);
    }
}

// ---- Tray icon and window behaviour ----------------------------------------------------------

void frmMain::Form_MouseMove() {
    c_.lblActivate.setForeColour(kButtonColour);
    c_.lblReset.setForeColour(kButtonColour);
}

void frmMain::TrayIcon_Message(int mouseMessage) {
    if (mouseMessage == kDoubleClick) {
        c_.form.setVisible(true);
        c_.form.show();
        c_.form.setWindowState(WindowState::Normal);
    }
    Form_MouseMove();
}

IconHandle frmMain::trayPicture() {
    const Task* task = checkedTask();
    if (c_.lblActivate.enabled() || task == nullptr) {
        return c_.pictures.formIcon();
    }
    return c_.pictures.picture(task->picture);
}

void frmMain::TaskbarCreated() {
    if (!iconRemoved_) {
        // The new shell may run at another DPI than the old one: the pictures as they are now.
        TrayIcon.icon = trayPicture();
        s_.tray.notify(TrayOperation::Add, TrayIcon);
    }
}

void frmMain::PicturesReloaded() {
    if (!iconRemoved_) {
        TrayIcon.icon = trayPicture();
        s_.tray.notify(TrayOperation::Modify, TrayIcon);
    }
}

void frmMain::mnuTray_Click() {
    c_.form.setWindowState(WindowState::Minimized);
    c_.form.setVisible(false);
    c_.Timer4.setEnabled(true);
    HiddenTickCount = 0;
    s_.tray.notify(TrayOperation::Add, TrayIcon);
    iconRemoved_ = false;
}

void frmMain::mnuTopM_Click() {
    c_.mnuTopM.setChecked(!c_.mnuTopM.checked());
    c_.form.setTopMost(c_.mnuTopM.checked());
}

void frmMain::Form_MouseDown() {
    c_.form.beginDrag();
}

void frmMain::mnuExit_Click() {
    c_.form.close();
}

void frmMain::Form_Unload() {
    s_.tray.notify(TrayOperation::Delete, TrayIcon);
    if (melodyPlaying_) {
        // Closed while the alarm sounds: silence it; cut short, it is not logged.
        melodyPlaying_ = false;
        s_.melody.stop();
    }
    if (c_.Timer3.enabled()) {
        // Ended before its task (the user, or Windows logging off): the computer may sleep again.
        s_.actions.keepAwake(false);
    }
    c_.Timer2.setEnabled(false);
    c_.Timer3.setEnabled(false);
    c_.Timer4.setEnabled(false);
}

void frmMain::mnuBat_Click() {
    s_.dialogs.showBatDialog();
}

void frmMain::mnuAbout_Click() {
    // The about box must not hide behind a window that stays on top; the state comes back when
    // the box closes.
    if (c_.mnuTopM.checked()) {
        c_.form.setTopMost(false);
    }
    s_.dialogs.showAboutDialog();
    if (c_.mnuTopM.checked()) {
        c_.form.setTopMost(true);
    }
}

} // namespace zorvo
