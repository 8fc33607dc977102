#include "app/shutdown_watch.h"

namespace zorvo {

void ShutdownWatch::requestAccepted() {
    state_ = State::Requested;
}

void ShutdownWatch::queryEndSession() {
    if (state_ == State::Requested) {
        state_ = State::Queried;
    }
}

ShutdownWatch::Step ShutdownWatch::endSession(bool ending) {
    if (state_ == State::Idle) {
        return ending ? Step::Leave : Step::Wait;
    }
    if (state_ == State::Decided) {
        return Step::Wait;
    }
    if (ending) {
        state_ = State::Decided;
        return Step::LogAndLeave;
    }
    if (state_ == State::Queried) {
        state_ = State::Decided;
        return Step::SayCalledOff;
    }
    // Windows tells "no" only to the programs it asked: one that did not follow a question to
    // this program is not this shutdown's answer.
    return Step::Wait;
}

ShutdownWatch::Step ShutdownWatch::waitOver() {
    if (state_ != State::Requested) {
        // Asked already: Windows has begun, and its answer comes with WM_ENDSESSION.
        return Step::Wait;
    }
    state_ = State::Decided;
    return Step::SayNotBegun;
}

std::wstring shutdownNotDoneMessage(ShutdownWatch::Step step, WmiMethod method) {
    const bool reboot = method == WmiMethod::Reboot;
    const std::wstring done = reboot ? L"перезагружен" : L"выключен";
    const std::wstring task = reboot ? L"перезагрузку" : L"выключение";
    const std::wstring what = step == ShutdownWatch::Step::SayCalledOff
                                  ? L"Windows отменила " + task + L"."
                                  : L"прошло две минуты, а Windows так и не начала " + task + L".";
    return L"Компьютер не " + done + L": " + what + L"\r\nОбычно " + task +
           L" задерживает программа, в которой остались несохранённые данные. Сохраните их, "
           L"закройте эту программу и запустите Zorvo снова.";
}

} // namespace zorvo
