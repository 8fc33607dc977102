#pragma once
// The five tasks and everything the program knows of each: its menu item, what the main window
// shows for it, its batch file, its command-line switch and what performing it does and logs.
// The main window, the batch dialog and sleep.dll's command line all read this one table.

#include <array>
#include <cstdint>

#include "core/power_library.h"

namespace zorvo {

/// The main window's picture holders that the notification area shows while a task runs.
enum class TaskPicture { imgShutDown, imgWait, imgReboot, imgAlarm };

/// What performing a task does; it also names the task.
enum class TaskAction { ShutDown, Standby, Alarm, Reboot, Hibernate };

struct Task {
    TaskAction action;
    // The item of the task menu.
    int menuId;
    const wchar_t* menuName;
    const wchar_t* menuCaption;
    wchar_t shortcutKey; // with Ctrl
    const wchar_t* shortcutText;
    // The main window while the task is chosen and while it counts down.
    const wchar_t* status;
    const wchar_t* tipOnSelection;
    const wchar_t* tipOnActivation;
    TaskPicture picture;
    const wchar_t* countdownPrefix;
    // The batch dialog's list item and the file it writes.
    const wchar_t* batchItem;
    const wchar_t* batchFile;
    // The command line: the switch (written into batch files too) and the code GetParam gives.
    const wchar_t* taskSwitch;
    TaskCode code;
    // The event log's entry and, for a task the system may refuse, the message then.
    const wchar_t* logText;
    const wchar_t* failure;
};

/// In the batch dialog's order, which is the sorted order of its list items. Hibernation shows
/// the standby picture, and the alarm's tip grows longer once it is activated.
inline constexpr std::array<Task, 5> kTasks{{
    {TaskAction::ShutDown, 2011, L"mnuShutDown", L"&Выключить", L'V', L"Ctrl+V",
     L"Zorvo настроен на выключение", L"Zorvo запущен: Выключение", L"Zorvo запущен: Выключение",
     TaskPicture::imgShutDown, L"Zorvo - до выключения осталось ", L"Выключение", L"shutdown.bat",
     L"/v", kTaskShutdown, L"Выключение компьютера", L"Не удалось выключить компьютер."},
    {TaskAction::Standby, 2013, L"mnuWait", L"&Ждущий режим", L'W', L"Ctrl+W",
     L"Zorvo настроен на ждущий режим", L"Zorvo запущен: Ждущий режим",
     L"Zorvo запущен: Ждущий режим", TaskPicture::imgWait, L"Zorvo - войдет в ждущий режим через ",
     L"Ждущий режим", L"wait.bat", L"/w", kTaskStandby, L"Ждущий режим компьютера",
     L"Не удалось перевести компьютер в ждущий режим: система отказала в переходе."},
    {TaskAction::Alarm, 2012, L"mnuAlarm", L"Зв&уковой сигнал", L'U', L"Ctrl+U",
     L"Zorvo настроен на подачу звукового сигнала", L"Zorvo запущен: Подача сигнала",
     L"Zorvo запущен: Подача звукового сигнала", TaskPicture::imgAlarm,
     L"Zorvo - подача звукового сигнала через ", L"Звуковой сигнал", L"alarm.bat", L"/a",
     kTaskAlarm, L"Сигнал подан", L""},
    {TaskAction::Reboot, 2014, L"mnuReboot", L"&Перезагрузить", L'R', L"Ctrl+R",
     L"Zorvo настроен на перезагрузку", L"Zorvo запущен: Перезагрузка",
     L"Zorvo запущен: Перезагрузка", TaskPicture::imgReboot, L"Zorvo - до перезагрузки осталось ",
     L"Перезагрузка", L"reset.bat", L"/r", kTaskReboot, L"Перезагрузка компьютера",
     L"Не удалось перезагрузить компьютер."},
    {TaskAction::Hibernate, 2015, L"mnuSleep", L"&Спящий режим", L'S', L"Ctrl+S",
     L"Zorvo настроен на спящий режим", L"Zorvo запущен: Спящий режим",
     L"Zorvo запущен: Спящий режим", TaskPicture::imgWait, L"Zorvo - войдет в спящий режим через ",
     L"Спящий режим", L"sleep.bat", L"/s", kTaskHibernate, L"Спящий режим компьютера",
     L"Не удалось перевести компьютер в спящий режим: система отказала в переходе."},
}};

constexpr const Task& taskOf(TaskAction action) {
    for (const Task& task : kTasks) {
        if (task.action == action) {
            return task;
        }
    }
    return kTasks.front();
}

} // namespace zorvo
