#include "power/power_capabilities.h"

namespace zorvo {

SleepRefusal checkSleepTask(SleepTask task, const std::optional<PowerCapabilities>& answer) {
    if (!answer) {
        return SleepRefusal::None;
    }
    if (task == SleepTask::Standby) {
        // The suspend call enters the deepest of the three that the system has.
        return answer->s1 || answer->s2 || answer->s3 ? SleepRefusal::None
                                                      : SleepRefusal::NoStandby;
    }
    if (!answer->s4) {
        return SleepRefusal::NoHibernation;
    }
    return answer->hiberFilePresent ? SleepRefusal::None : SleepRefusal::HibernationFileMissing;
}

const wchar_t* refusalMessage(SleepRefusal refusal) {
    switch (refusal) {
    case SleepRefusal::None:
        break;
    case SleepRefusal::NoStandby:
        return L"Этот компьютер нельзя перевести в ждущий режим: Windows сообщает, что обычного "
               L"ждущего режима у него нет. Так бывает на компьютерах с современным ждущим "
               L"режимом (Modern Standby).\r\n"
               L"Выберите другую задачу, например спящий режим или выключение.\r\n"
               L"Отсчёт не запущен.";
    case SleepRefusal::NoHibernation:
        return L"Этот компьютер нельзя перевести в спящий режим: Windows сообщает, что спящий "
               L"режим (гибернация) выключен или не поддерживается.\r\n"
               L"Включить его может администратор: запустите командную строку от имени "
               L"администратора и выполните команду powercfg /h on. Или выберите другую "
               L"задачу.\r\n"
               L"Отсчёт не запущен.";
    case SleepRefusal::HibernationFileMissing:
        return L"Этот компьютер нельзя перевести в спящий режим: в Windows выключена "
               L"гибернация (нет файла гибернации).\r\n"
               L"Включить её может администратор: запустите командную строку от имени "
               L"администратора и выполните команду powercfg /h on. Или выберите другую "
               L"задачу.\r\n"
               L"Отсчёт не запущен.";
    }
    return L"";
}

} // namespace zorvo
