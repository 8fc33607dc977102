#include "app/frm_main.h"

#include <cmath>
#include <limits>

#include "log/event_log.h"
#include "text/number_text.h"
#include "text/utf8.h"

namespace zorvo {
namespace {

constexpr int kLeftControl = 0xA2;
constexpr int kKeyT = 0x54;
constexpr std::uint16_t kKeyHeld = 0x8000;
constexpr int kDoubleClick = 0x203;
constexpr int kEnter = 13;
constexpr std::int16_t kHotKeyDelayTicks = 30;
constexpr std::int16_t kHotKeyWrapTicks = 1000;

struct TaskRow {
    MenuItem& (*item)(const MainControls&);
    const wchar_t* status;
    const wchar_t* tipOnSelection;
    const wchar_t* tipOnActivation;
    TaskPictures::Holder picture;
    const wchar_t* countdownPrefix;
};

constexpr TaskRow kShutDown{[](const MainControls& c) -> MenuItem& { return c.mnuShutDown; },
                            L"Zorvo настроен на выключение",
                            L"Zorvo запущен: Выключение",
                            L"Zorvo запущен: Выключение",
                            TaskPictures::Holder::imgShutDown,
                            L"Zorvo - до выключения осталось "};
constexpr TaskRow kAlarm{[](const MainControls& c) -> MenuItem& { return c.mnuAlarm; },
                         L"Zorvo настроен на подачу звукового сигнала",
                         L"Zorvo запущен: Подача сигнала",
                         L"Zorvo запущен: Подача звукового сигнала",
                         TaskPictures::Holder::imgAlarm,
                         L"Zorvo - подача звукового сигнала через "};
constexpr TaskRow kWait{[](const MainControls& c) -> MenuItem& { return c.mnuWait; },
                        L"Zorvo настроен на ждущий режим",
                        L"Zorvo запущен: Ждущий режим",
                        L"Zorvo запущен: Ждущий режим",
                        TaskPictures::Holder::imgWait,
                        L"Zorvo - войдет в ждущий режим через "};
constexpr TaskRow kReboot{[](const MainControls& c) -> MenuItem& { return c.mnuReboot; },
                          L"Zorvo настроен на перезагрузку",
                          L"Zorvo запущен: Перезагрузка",
                          L"Zorvo запущен: Перезагрузка",
                          TaskPictures::Holder::imgReboot,
                          L"Zorvo - до перезагрузки осталось "};
constexpr TaskRow kSleep{[](const MainControls& c) -> MenuItem& { return c.mnuSleep; },
                         L"Zorvo настроен на спящий режим",
                         L"Zorvo запущен: Спящий режим",
                         L"Zorvo запущен: Спящий режим",
                         TaskPictures::Holder::imgWait,
                         L"Zorvo - войдет в спящий режим через "};

// The order in which activation looks at the task items.
constexpr const TaskRow* kActivationOrder[] = {&kShutDown, &kWait, &kReboot, &kAlarm, &kSleep};
// The order in which a tick looks at them for the countdown text.
constexpr const TaskRow* kCountdownOrder[] = {&kReboot, &kShutDown, &kAlarm, &kWait, &kSleep};

std::wstring twoDigits(int value) {
    return (value < 10 ? L"0" : L"") + std::to_wstring(value);
}

std::wstring countdownText(const wchar_t* prefix, std::int16_t minutes, std::int16_t seconds) {
    std::wstring text = prefix + std::to_wstring(minutes) + L" мин ";
    if (seconds >= 0 && seconds <= 9) {
        text += L"0";
    }
    return text + std::to_wstring(seconds) + L" сек";
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
        activated = true;
        switch (s_.power.GetParam()) {
        case kTaskShutdown:
            mnuShutDown_Click();
            lblActivate_Click();
            break;
        case kTaskStandby:
            mnuWait_Click();
            lblActivate_Click();
            break;
        case kTaskReboot:
            mnuReboot_Click();
            lblActivate_Click();
            break;
        case kTaskHibernate:
            mnuSleep_Click();
            lblActivate_Click();
            break;
        case kTaskAlarm:
            mnuAlarm_Click();
            lblActivate_Click();
            break;
        default:
            activated = false;
            break;
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

// ---- Task selection, activation and reset --------------------------------------------------

void frmMain::selectTask(MenuItem& item) {
    if (!c_.lblActivate.enabled() && !item.checked()) {
        // Counting down: a task this computer cannot do is refused now, while someone is there
        // to read why, and the countdown goes on with the task it had.
        if (const SleepRefusal refusal = refusalFor(item); refusal != SleepRefusal::None) {
            s_.messages.show(refusalMessage(refusal));
            return;
        }
    }
    const TaskRow* chosen = nullptr;
    for (const TaskRow* row : kActivationOrder) {
        MenuItem& rowItem = row->item(c_);
        if (&rowItem == &item) {
            chosen = row;
        }
    }
    item.setChecked(true);
    for (const TaskRow* row : kActivationOrder) {
        if (row != chosen) {
            (row->item(c_)).setChecked(false);
        }
    }
    c_.lblEnter.setCaption(chosen->status);
    if (!c_.lblActivate.enabled()) {
        modifyIcon(chosen->tipOnSelection, c_.pictures.picture(chosen->picture));
    }
}

void frmMain::modifyIcon(const wchar_t* tip, IconHandle icon) {
    TrayIcon.setTip(tip);
    TrayIcon.icon = icon;
    s_.tray.notify(TrayOperation::Modify, TrayIcon);
}

void frmMain::mnuShutDown_Click() {
    selectTask(c_.mnuShutDown);
}
void frmMain::mnuAlarm_Click() {
    selectTask(c_.mnuAlarm);
}
void frmMain::mnuWait_Click() {
    selectTask(c_.mnuWait);
}
void frmMain::mnuReboot_Click() {
    selectTask(c_.mnuReboot);
}
void frmMain::mnuSleep_Click() {
    selectTask(c_.mnuSleep);
}

SleepRefusal frmMain::refusalFor(const MenuItem& item) {
    std::optional<SleepTask> task;
    if (&item == &c_.mnuWait) {
        task = SleepTask::Standby;
    } else if (&item == &c_.mnuSleep) {
        task = SleepTask::Hibernate;
    }
    if (!task) {
        // Shutdown, reboot and the alarm depend on nothing the system could report beforehand.
        return SleepRefusal::None;
    }
    return checkSleepTask(*task, s_.capabilities.query());
}

bool frmMain::taskPossibleHere() {
    const SleepRefusal refusal = c_.mnuWait.checked()    ? refusalFor(c_.mnuWait)
                                 : c_.mnuSleep.checked() ? refusalFor(c_.mnuSleep)
                                                         : SleepRefusal::None;
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
    for (const TaskRow* row : kActivationOrder) {
        if ((row->item(c_)).checked()) {
            modifyIcon(row->tipOnActivation, c_.pictures.picture(row->picture));
        }
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

// ---- The countdown and the log ---------------------------------------------------------------

void frmMain::Timer3_Timer() {
    --RemainingSeconds;
    for (const TaskRow* row : kCountdownOrder) {
        if ((row->item(c_)).checked()) {
            const std::wstring text =
                countdownText(row->countdownPrefix, RemainingMinutes, RemainingSeconds);
            c_.form.setCaption(text);
            s_.popup.setLabelCaption(text);
        }
    }
    if (RemainingSeconds == 0 && RemainingMinutes != 0) {
        RemainingSeconds = 60;
        --RemainingMinutes;
    }
    if (!c_.form.visible() && RemainingSeconds == 30 && RemainingMinutes == 0) {
        s_.popup.show();
    }
    if (c_.form.visible() && s_.popup.visible()) {
        s_.popup.hide();
    }
    if (RemainingSeconds == 0 && RemainingMinutes == 0) {
        performTask();
    }
}

void frmMain::performTask() {
    // No further tick may run while a task (or a message box about it) is under way.
    c_.Timer3.setEnabled(false);
    if (c_.mnuShutDown.checked()) {
        performWmi(WmiMethod::ShutDown, L"Не удалось выключить компьютер.",
                   L"Выключение компьютера");
    } else if (c_.mnuReboot.checked()) {
        performWmi(WmiMethod::Reboot, L"Не удалось перезагрузить компьютер.",
                   L"Перезагрузка компьютера");
    } else if (c_.mnuAlarm.checked()) {
        // The melody plays elsewhere while the window goes on answering; its end logs and
        // closes (MelodyFinished).
        melodyPlaying_ = true;
        s_.melody.start();
    } else if (c_.mnuWait.checked()) {
        performLibraryCall(&PowerLibrary::NTWait,
                           L"Не удалось перевести компьютер в ждущий режим: система отказала "
                           L"в переходе.",
                           L"Ждущий режим компьютера");
    } else if (c_.mnuSleep.checked()) {
        performLibraryCall(&PowerLibrary::NTSleep,
                           L"Не удалось перевести компьютер в спящий режим: система отказала "
                           L"в переходе.",
                           L"Спящий режим компьютера");
    }
}

void frmMain::performWmi(WmiMethod method, const wchar_t* failure, const wchar_t* logText) {
    const ActionResult result = s_.actions.runWmi(method);
    // The countdown is over: whatever comes now, nothing needs the computer held awake.
    s_.actions.keepAwake(false);
    if (!result.ok) {
        // Nothing happened, so nothing is logged; the user must know the computer stays on.
        s_.messages.show(withSystemReason(std::wstring(failure) + L"\r\n" + result.reason,
                                          result.code, s_.errorTexts.describe(result.code)));
        c_.form.close();
        return;
    }
    // Asked is not done: Windows first asks every program, and one with unsaved work holds the
    // shutdown up. The window and its icon go; the program stays for the session's end.
    shutdown_.requestAccepted();
    requestedMethod_ = method;
    requestedLog_ = logText;
    Form_Unload();
    iconRemoved_ = true;
    s_.popup.hide();
    c_.form.setVisible(false);
    s_.shutdownWait.setEnabled(true);
}

void frmMain::QueryEndSession() {
    shutdown_.queryEndSession();
}

void frmMain::EndSession(bool ending) {
    followShutdown(shutdown_.endSession(ending));
}

void frmMain::ShutdownWait_Timer() {
    followShutdown(shutdown_.waitOver());
}

void frmMain::followShutdown(ShutdownWatch::Step step) {
    if (step == ShutdownWatch::Step::Wait) {
        return;
    }
    s_.shutdownWait.setEnabled(false);
    if (step == ShutdownWatch::Step::LogAndLeave) {
        // At once: the process may end any moment after this message. A box about a log that
        // could not be written would only hold the end of the session up.
        static_cast<void>(logIfOn(requestedLog_));
    } else if (step != ShutdownWatch::Step::Leave) {
        s_.messages.show(shutdownNotDoneMessage(step, requestedMethod_));
    }
    c_.form.close();
}

void frmMain::performLibraryCall(std::int32_t (PowerLibrary::*call)(), const wchar_t* failure,
                                 const wchar_t* logText) {
    // The entry goes first: after standby nobody may be there to write it.
    const std::wstring logFailure = logIfOn(logText);
    s_.actions.keepAwake(false);
    const std::int32_t ok = (s_.power.*call)();
    // Taken at once, before the log's message box can ask the system for anything else.
    const std::uint32_t error = ok == 0 ? s_.power.lastError() : 0;
    if (!logFailure.empty()) {
        s_.messages.show(logFailure);
    }
    if (ok == 0) {
        s_.messages.show(withSystemReason(failure, error, s_.errorTexts.describe(error)));
    }
    c_.form.close();
}

void frmMain::MelodyFinished() {
    if (!melodyPlaying_) {
        return;
    }
    melodyPlaying_ = false;
    const std::wstring logFailure = logIfOn(L"Сигнал подан");
    if (!logFailure.empty()) {
        s_.messages.show(logFailure);
    }
    c_.form.close();
}

std::wstring frmMain::logIfOn(const wchar_t* eventText) {
    if (!c_.mnuLog.checked()) {
        return {};
    }
    try {
        WriteLog(eventText);
    } catch (const FileError& error) {
        return error.message();
    }
    return {};
}

void frmMain::WriteLog(const std::wstring& eventText) {
    const std::wstring date = s_.clock.shortDateText();
    const std::wstring time = s_.clock.timeText();
    const std::wstring entry = formatLogEntry(date, time, eventText);
    // Only the first bytes tell the file's encoding.
    const FileHead head = s_.files.readHead(kLogFileName, text::kUtf8Bom.size());
    const LogFileStart start = logFileStart(head.status != FileHead::Status::Missing,
                                            head.status == FileHead::Status::Unreadable
                                                ? std::nullopt
                                                : std::optional<std::string>(head.bytes));
    const std::optional<std::string> bytes = logEntryBytes(entry, start, s_.locale.ansi());
    if (!bytes) {
        throw FileError(std::wstring(L"Не удалось записать файл ") + kLogFileName +
                        L":\r\nв кодировке этого файла нет букв записи. Переименуйте его, и "
                        L"Zorvo начнёт новый файл в UTF-8.");
    }
    s_.files.append(kLogFileName, *bytes);
}

void frmMain::mnuLog_Click() {
    c_.mnuLog.setChecked(!c_.mnuLog.checked());
    c_.lblLog.setVisible(c_.mnuLog.checked());
}

// ---- Minutes entry, hours display, clock, show hot key --------------------------------------

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
    if (c_.lblActivate.enabled()) {
        return c_.pictures.formIcon();
    }
    IconHandle picture = c_.pictures.formIcon();
    for (const TaskRow* row : kActivationOrder) {
        if ((row->item(c_)).checked()) {
            picture = c_.pictures.picture(row->picture);
        }
    }
    return picture;
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
