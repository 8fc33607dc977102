#pragma once
// The alarm melody on a thread of its own, through the system's Beep: the window's thread only
// starts it and later hears of its end by a message, so the window never stops answering.

#include <windows.h>

#include <atomic>

#include "core/unique_handle_win32.h"
#include "power/melody.h"

namespace zorvo {

class MelodyPlayerWin32 final : public MelodyPlayer {
public:
    MelodyPlayerWin32() = default;
    MelodyPlayerWin32(const MelodyPlayerWin32&) = delete;
    MelodyPlayerWin32& operator=(const MelodyPlayerWin32&) = delete;
    ~MelodyPlayerWin32() override { stop(); }

    /// The window that receives `finishedMessage` after the last note.
    void setWindow(HWND window, UINT finishedMessage) noexcept {
        window_ = window;
        finishedMessage_ = finishedMessage;
    }

    void start() override;
    void stop() noexcept override;

private:
    static DWORD WINAPI threadMain(void* player) noexcept;
    /// Plays every note on the calling thread; true when the last one has sounded.
    bool play() noexcept;
    void reportFinished() noexcept;

    HWND window_ = nullptr;
    UINT finishedMessage_ = 0;
    std::atomic<bool> stopAsked_{false};
    /// Set when a stop is asked for, so that a silence ends at once.
    unique_kernel_handle stopEvent_;
    unique_kernel_handle thread_;
    bool started_ = false;
};

} // namespace zorvo
