// frmMain: choosing a task, activating the countdown and resetting it.

#include <cmath>

#include "app/frm_main.h"

namespace zorvo {

MenuItem& frmMain::itemOf(const Task& task) const {
    switch (task.action) {
    case TaskAction::ShutDown:
        return c_.mnuShutDown;
    case TaskAction::Standby:
        return c_.mnuWait;
    case TaskAction::Alarm:
        return c_.mnuAlarm;
    case TaskAction::Reboot:
        return c_.mnuReboot;
    case TaskAction::Hibernate:
        break;
    }
    return c_.mnuSleep;
}

const Task* frmMain::checkedTask() const {
    for (const Task& task : kTasks) {
        if (itemOf(task).checked()) {
            return &task;
        }
    }
    return nullptr;
}

void frmMain::selectTask(const Task& task) {
    MenuItem& item = itemOf(task);
    if (!c_.lblActivate.enabled() && !item.checked()) {
        // Counting down: a task this computer cannot do is refused now, while someone is there
        // to read why, and the countdown goes on with the task it had.
        if (const SleepRefusal refusal = refusalFor(task); refusal != SleepRefusal::None) {
            s_.messages.show(refusalMessage(refusal));
            return;
        }
    }
    item.setChecked(true);
    for (const Task& other : kTasks) {
        if (&other != &task) {
            itemOf(other).setChecked(false);
        }
    }
    c_.lblEnter.setCaption(task.status);
    if (!c_.lblActivate.enabled()) {
        modifyIcon(task.tipOnSelection, c_.pictures.picture(task.picture));
    }
}

void frmMain::modifyIcon(const wchar_t* tip, IconHandle icon) {
    TrayIcon.setTip(tip);
    TrayIcon.icon = icon;
    s_.tray.notify(TrayOperation::Modify, TrayIcon);
}

void frmMain::mnuShutDown_Click() {
    selectTask(taskOf(TaskAction::ShutDown));
}
void frmMain::mnuAlarm_Click() {
    selectTask(taskOf(TaskAction::Alarm));
}
void frmMain::mnuWait_Click() {
    selectTask(taskOf(TaskAction::Standby));
}
void frmMain::mnuReboot_Click() {
    selectTask(taskOf(TaskAction::Reboot));
}
void frmMain::mnuSleep_Click() {
    selectTask(taskOf(TaskAction::Hibernate));
}

SleepRefusal frmMain::refusalFor(const Task& task) {
    if (task.action != TaskAction::Standby && task.action != TaskAction::Hibernate) {
        // Shutdown, reboot and the alarm depend on nothing the system could report beforehand.
        return SleepRefusal::None;
    }
    return checkSleepTask(task.action == TaskAction::Standby ? SleepTask::Standby
                                                             : SleepTask::Hibernate,
                          s_.capabilities.query());
}

bool frmMain::taskPossibleHere() {
    const Task* task = checkedTask();
    const SleepRefusal refusal = task != nullptr ? refusalFor(*task) : SleepRefusal::None;
    if (refusal == SleepRefusal::None) {
        return true;
    }
    c_.form.setVisible(true);
    c_.form.show();
    c_.form.setWindowState(WindowState::Normal);
    s_.messages.show(refusalMessage(refusal));
    return false;
}

void frmMain::lblActivate_Click() {
    if (melodyPlaying_) {
        return; // the task is being performed; a second one would follow it
    }
    // Asked now, not when the time is up: hours later nobody may be there to read why.
    if (!taskPossibleHere()) {
        return;
    }
    c_.Timer3.setEnabled(true);
    c_.Timer4.setEnabled(true);
    RemainingSeconds = 60;
    if (const Task* task = checkedTask()) {
        modifyIcon(task->tipOnActivation, c_.pictures.picture(task->picture));
    }
    const std::optional<double> entered = minutes_.value();
    if (!entered) {
        c_.Timer3.setEnabled(false);
        throw UntrappedError(L"Недопустимое значение времени: \"" + c_.Combo1.text() + L"\".");
    }
    RemainingMinutes = static_cast<std::int16_t>(std::nearbyint(*entered - 1.0));
    c_.Combo1.setEnabled(false);
    c_.mnuReset.setEnabled(true);
    c_.lblActivate.setEnabled(false);
    c_.lblReset.setVisible(true);
    c_.mnuActive.setEnabled(false);
    // A countdown is worthless if the computer falls asleep on its own before the end.
    s_.actions.keepAwake(true);
}

void frmMain::mnuActive_Click() {
    lblActivate_Click();
}

void frmMain::mnuReset_Click() {
    if (melodyPlaying_) {
        return; // nothing left to reset: the program ends with the melody
    }
    RemainingSeconds = 0;
    c_.Timer3.setEnabled(false);
    s_.actions.keepAwake(false);
    c_.form.setCaption(kMainCaption);
    c_.Combo1.setEnabled(true);
    c_.mnuReset.setEnabled(false);
    c_.lblActivate.setEnabled(true);
    c_.lblReset.setVisible(false);
    c_.mnuActive.setEnabled(true);
    modifyIcon(kIdleTip, c_.pictures.formIcon());
}

void frmMain::lblReset_Click() {
    mnuReset_Click();
}

void frmMain::lblActivate_MouseMove() {
    c_.lblActivate.setForeColour(kButtonHoverColour);
}
void frmMain::lblReset_MouseMove() {
    c_.lblReset.setForeColour(kButtonHoverColour);
}

} // namespace zorvo
