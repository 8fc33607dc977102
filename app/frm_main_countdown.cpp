// frmMain: the countdown's ticks, performing the task at zero and the event log.

#include "app/frm_main.h"
#include "log/event_log.h"
#include "text/utf8.h"

namespace zorvo {
namespace {

std::wstring countdownText(const wchar_t* prefix, std::int16_t minutes, std::int16_t seconds) {
    std::wstring text = prefix + std::to_wstring(minutes) + L" мин ";
    if (seconds >= 0 && seconds <= 9) {
        text += L"0";
    }
    return text + std::to_wstring(seconds) + L" сек";
}

} // namespace

void frmMain::Timer3_Timer() {
    --RemainingSeconds;
    if (const Task* task = checkedTask()) {
        const std::wstring text =
            countdownText(task->countdownPrefix, RemainingMinutes, RemainingSeconds);
        c_.form.setCaption(text);
        s_.popup.setLabelCaption(text);
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
    const Task* task = checkedTask();
    if (task == nullptr) {
        return;
    }
    switch (task->action) {
    case TaskAction::ShutDown:
        performWmi(WmiMethod::ShutDown, task->failure, task->logText);
        break;
    case TaskAction::Reboot:
        performWmi(WmiMethod::Reboot, task->failure, task->logText);
        break;
    case TaskAction::Alarm:
        // The melody plays elsewhere while the window goes on answering; its end logs and
        // closes (MelodyFinished).
        melodyPlaying_ = true;
        s_.melody.start();
        break;
    case TaskAction::Standby:
        performLibraryCall(&PowerLibrary::NTWait, task->failure, task->logText);
        break;
    case TaskAction::Hibernate:
        performLibraryCall(&PowerLibrary::NTSleep, task->failure, task->logText);
        break;
    }
}

void frmMain::performWmi(WmiMethod method, const wchar_t* failure, const wchar_t* logText) {
    const ActionResult result = s_.actions.runWmi(method);
    if (!result.ok) {
        // Nothing happened, so nothing is logged; the user must know the computer stays on.
        s_.messages.show(withSystemReason(std::wstring(failure) + L"\r\n" + result.reason,
                                          result.code, s_.errorTexts.describe(result.code)));
        c_.form.close();
        return;
    }
    const std::wstring logFailure = logIfOn(logText);
    if (!logFailure.empty()) {
        s_.messages.show(logFailure);
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
    const std::wstring logFailure = logIfOn(taskOf(TaskAction::Alarm).logText);
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

} // namespace zorvo
