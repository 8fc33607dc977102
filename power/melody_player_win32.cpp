#include "power/melody_player_win32.h"

namespace zorvo {
namespace {

/// The system's Beep, each note held for its full length: where Beep comes back early (no sound
/// device, or a system that ignores the length) the rest of the note is waited out, so the alarm
/// lasts as long everywhere and the program never ends before the melody would have.
class BeepOutput final : public ToneOutput {
public:
    explicit BeepOutput(HANDLE stopEvent) : stopEvent_(stopEvent) {}

    void tone(std::uint32_t frequencyHz, std::uint32_t durationMs) override {
        const ULONGLONG begun = GetTickCount64();
        Beep(frequencyHz, durationMs);
        const ULONGLONG elapsed = GetTickCount64() - begun;
        if (elapsed < durationMs) {
            silence(static_cast<std::uint32_t>(durationMs - elapsed));
        }
    }

    void silence(std::uint32_t durationMs) override {
        if (stopEvent_ != nullptr) {
            WaitForSingleObject(stopEvent_, durationMs);
        } else {
            Sleep(durationMs);
        }
    }

private:
    HANDLE stopEvent_;
};

} // namespace

void MelodyPlayerWin32::start() {
    if (started_) {
        return; // one alarm per run
    }
    started_ = true;
    stopAsked_ = false;
    stopEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, &MelodyPlayerWin32::threadMain, this, 0, nullptr));
    if (!thread_) {
        // Better a window that hangs for the length of the melody than an alarm that never
        // sounds.
        if (play()) {
            reportFinished();
        }
    }
}

void MelodyPlayerWin32::stop() noexcept {
    stopAsked_ = true;
    if (stopEvent_) {
        SetEvent(stopEvent_.get());
    }
    if (thread_) {
        // At most the rest of one note: a Beep under way cannot be cut short.
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
}

DWORD WINAPI MelodyPlayerWin32::threadMain(void* player) noexcept {
    auto* self = static_cast<MelodyPlayerWin32*>(player);
    if (self->play()) {
        self->reportFinished();
    }
    return 0;
}

bool MelodyPlayerWin32::play() noexcept {
    BeepOutput output(stopEvent_.get());
    return playMelody(kAlarmMelody, output, stopAsked_);
}

void MelodyPlayerWin32::reportFinished() noexcept {
    // The program ends only on this message: a queue that is full for a moment is waited out.
    // Any other failure means the window is gone, and the program with it.
    while (!stopAsked_ && !PostMessageW(window_, finishedMessage_, 0, 0)) {
        if (GetLastError() != ERROR_NOT_ENOUGH_QUOTA) {
            return;
        }
        Sleep(50);
    }
}

} // namespace zorvo
