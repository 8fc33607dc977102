// frmMain's start-up, the command line it applies and the minutes entry; the other handlers are
// in frm_main_tasks.cpp, frm_main_countdown.cpp and frm_main_window.cpp.

#include "app/frm_main.h"

#include <cmath>
#include <limits>

namespace zorvo {
namespace {

constexpr int kEnter = 13;

std::wstring twoDigits(int value) {
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}

} // namespace

frmMain::frmMain(const MainControls& controls, const MainServices& services)
    : c_(controls), s_(services), minutes_(controls.Combo1, services.messages, services.locale) {}

// ---- Start-up and the command line --------------------------------------------------------

void frmMain::Form_Load() {
    // The single-instance and library checks have passed before the window was made.
    DeactivationCount = 0;
    c_.mnuReboot.setChecked(false);
    c_.mnuAlarm.setChecked(false);
    c_.mnuWait.setChecked(false);
    c_.mnuSleep.setChecked(false);

    TrayIcon.window = c_.windowHandle;
    TrayIcon.identifier = TrayIconRecord::kIdentifier;
    TrayIcon.flags = TrayIconRecord::kFlags;
    TrayIcon.callbackMessage = TrayIconRecord::kCallbackMessage;
    TrayIcon.icon = c_.pictures.formIcon();
    TrayIcon.setTip(kIdleTip);
    s_.tray.notify(TrayOperation::Add, TrayIcon);

    for (int minutes = kMinMinutes; minutes <= kMaxMinutes; ++minutes) {
        c_.Combo1.addItem(std::to_wstring(minutes));
    }
    minutes_.write(L"1");
    c_.lblDate.setCaption(s_.clock.shortDateText());
    c_.mnuReset.setEnabled(false);
    c_.mnuLog.setChecked(false);
}

void frmMain::Form_Activate() {
    // Once per process: a start without activation (minimised, from a scheduled task) sees its
    // first real activation only when the user restores the window, and a running countdown
    // must not start over then.
    if (DeactivationCount >= 1 || commandLineApplied_) {
        return;
    }
    commandLineApplied_ = true;
    // Each mention asks the library afresh; it answers the same every time.
    if (s_.power.PTime() != 1 && s_.power.PTime() > 0 && s_.power.PTime() < 361) {
        minutes_.write(std::to_wstring(s_.power.PTime()));
        Timer1_Timer();
    }
    bool activated = false;
    if (s_.power.GetParam() != kTaskNone) {
        const std::int32_t code = s_.power.GetParam();
        for (const Task& task : kTasks) {
            if (task.code == code) {
                activated = true;
                selectTask(task);
                lblActivate_Click();
            }
        }
    }
    if (activated && !c_.Timer3.enabled()) {
        // The task cannot be done here: the window stays in sight, idle, with the reason just
        // given, whatever mode was asked for. Hidden, the program would wait for nothing.
        return;
    }
    if (s_.power.GetView() != kViewNormal) {
        switch (s_.power.GetView()) {
        case kViewMinimized:
            c_.form.setWindowState(WindowState::Minimized);
            break;
        case kViewTray:
            mnuTray_Click();
            break;
        case kViewHidden:
            if (!c_.Timer3.enabled()) {
                // Without a countdown nothing could bring a fully hidden window back, while it
                // keeps every later start out: stay reachable through the icon instead.
                mnuTray_Click();
                break;
            }
            c_.form.setWindowState(WindowState::Minimized);
            c_.form.setVisible(false);
            c_.form.setShowInTaskbar(false);
            s_.tray.notify(TrayOperation::Delete, TrayIcon);
            iconRemoved_ = true;
            break;
        default:
            break;
        }
    }
}

void frmMain::Form_Deactivate() {
    // Only whether it is zero matters; stop at the top instead of overflowing.
    if (DeactivationCount < std::numeric_limits<std::int16_t>::max()) {
        ++DeactivationCount;
    }
}

// ---- Minutes entry and hours display ---------------------------------------------------------

void frmMain::Combo1_Change() {
    minutes_.change();
}

void frmMain::Combo1_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == kEnter) {
        lblActivate_Click();
    }
}

void frmMain::Combo1_GotFocus() {
    c_.Timer1.setEnabled(true);
}
void frmMain::Combo1_LostFocus() {
    c_.Timer1.setEnabled(false);
}

void frmMain::Timer1_Timer() {
    if (!minutes_.value()) {
        // Only while the range warning is on screen; the rule accepts "1" at once.
        minutes_.write(L"1");
    }
    const std::optional<double> v = minutes_.value();
    if (v && *v > 0 && *v < 60) {
        c_.lblH.setCaption((*v < 10 ? L"0:0" : L"0:") + c_.Combo1.text());
    } else if (v && *v >= 60 && *v <= kMaxMinutes) {
        const int whole = static_cast<int>(std::floor(*v));
        const int hours = whole / 60;
        MinutesRemainder = static_cast<std::int16_t>(whole - 60 * hours);
        c_.lblH.setCaption(std::to_wstring(hours) + L":" + twoDigits(MinutesRemainder));
    }
}

} // namespace zorvo
