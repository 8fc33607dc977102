#pragma once
// The system services on the real Windows: message box, notification-area icon, clock, key
// state, files, the process itself and the user's locale.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/encoder_win32.h"
#include "ui/services.h"

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

class Win32Files final : public FileService {
public:
    OpenResult tryOpenForReading(const std::wstring& path) override;
    FileHead readHead(const std::wstring& name, std::size_t limit) override;
    void append(const std::wstring& name, const std::string& bytes) override;
    void replace(const std::wstring& name, const std::string& bytes) override;
};

class Win32Process final : public ProcessService {
public:
    std::wstring programFolder() override;
    std::wstring exeName() override;
    /// Asks once; the named object created by the first call stays open until the process ends,
    /// so a copy started later sees it.
    bool anotherInstanceRunning() override;

private:
    struct HandleCloser {
        void operator()(HANDLE handle) const noexcept;
    };
    std::unique_ptr<void, HandleCloser> instanceMutex_;
    std::optional<bool> anotherInstance_;
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

/// The 8.3 form of an existing path, or nothing when the system cannot give one. Where the volume
/// keeps no short names it is the path unchanged.
std::optional<std::wstring> shortPathName(const std::wstring& path);

} // namespace zorvo
