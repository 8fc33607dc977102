#pragma once
// The user's desktop on the real Windows: message boxes, the notification-area icon, the clock,
// the key state and the locale.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/services.h"
#include "text/encoder_win32.h"

namespace zorvo {

class Win32MessageBox final : public MessageBoxService {
public:
    /// Without an owner the box belongs to the thread's active window; either way it is
    /// task-modal: every top-level window of the thread is disabled while it is open.
    explicit Win32MessageBox(HWND owner = nullptr) : owner_(owner) {}
    void show(const std::wstring& text) override;
    bool askYesNo(const std::wstring& text) override;

private:
    HWND boxOwner() const;
    HWND owner_;
};

/// The Unicode call, so the tip reads the same on a Windows of any language.
class Win32Tray final : public TrayService {
public:
    void notify(TrayOperation operation, const TrayIconRecord& record) override;
    /// From now until release(), operations wait, in order: a call to the shell takes longer
    /// than the whole rest of a start, and nobody can tell whether the icon came a moment before
    /// the window or a moment after it.
    void holdBack() { holding_ = true; }
    void release();

private:
    static void send(TrayOperation operation, const TrayIconRecord& record);
    bool holding_ = false;
    std::vector<std::pair<TrayOperation, TrayIconRecord>> held_;
};

class Win32Clock final : public ClockService {
public:
    std::wstring shortDateText() override;
    std::wstring timeText() override;
};

class Win32Keyboard final : public KeyboardService {
public:
    std::uint16_t asyncKeyState(int virtualKey) override;
};

class Win32Locale final : public LocaleService {
public:
    wchar_t decimalSeparator() override;
    const text::Encoder& ansi() override { return ansi_; }
    const text::Encoder& oem() override { return oem_; }

private:
    text::Win32Encoder ansi_ = text::Win32Encoder::ansi();
    text::Win32Encoder oem_ = text::Win32Encoder::oem();
};

} // namespace zorvo
