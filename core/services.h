#pragma once
// The system services that the forms' handlers call. The Win32 front end implements them on the
// real system; the unit tests on fakes that record what was asked.

#include <cstdint>
#include <string>

#include "core/errors.h"
#include "core/tray_icon_record.h"
#include "text/encoding.h"

namespace zorvo {

/// A message box with a single OK button, no icon and the caption "Zorvo"; returns when closed.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual void show(const std::wstring& text) = 0;
    /// The same box with Yes and No, No the default; true for Yes.
    virtual bool askYesNo(const std::wstring& text) = 0;
};

class TrayService {
public:
    virtual ~TrayService() = default;
    /// Adds, modifies or deletes the icon; the result is of no interest to the caller.
    virtual void notify(TrayOperation operation, const TrayIconRecord& record) = 0;
};

class ClockService {
public:
    virtual ~ClockService() = default;
    /// The current date in the user's short date format.
    virtual std::wstring shortDateText() = 0;
    /// The current time of day in the user's time format, with seconds.
    virtual std::wstring timeText() = 0;
};

class KeyboardService {
public:
    virtual ~KeyboardService() = default;
    /// The system-wide state of a virtual key, as GetAsyncKeyState reports it.
    virtual std::uint16_t asyncKeyState(int virtualKey) = 0;
};

enum class OpenResult { Opened, NotFound, OtherFailure };

/// What reading the start of a file found.
struct FileHead {
    enum class Status { Missing, Read, Unreadable };
    Status status = Status::Missing;
    /// Up to the number of bytes asked for (when `status` is Read).
    std::string bytes;
};

class FileService {
public:
    virtual ~FileService() = default;
    /// Opens the file for reading and closes it again.
    virtual OpenResult tryOpenForReading(const std::wstring& path) = 0;
    /// The first `limit` bytes of a file of the current directory.
    virtual FileHead readHead(const std::wstring& name, std::size_t limit) = 0;
    /// Appends bytes to a file of the current directory, creating it: all of them or, when
    /// writing fails part way (a full disk), none, the file cut back to its old length; throws
    /// FileError.
    virtual void append(const std::wstring& name, const std::string& bytes) = 0;
    /// Replaces a file of the current directory in one step, leaving an old one intact when
    /// anything fails; throws FileError.
    virtual void replace(const std::wstring& name, const std::string& bytes) = 0;
};

class ProcessService {
public:
    virtual ~ProcessService() = default;
    /// The folder of the program's executable, without a trailing separator except for a drive
    /// root ("C:\").
    virtual std::wstring programFolder() = 0;
    /// The executable's file name without its extension.
    virtual std::wstring exeName() = 0;
    /// True when another copy of the program runs in this session.
    virtual bool anotherInstanceRunning() = 0;
};

class LocaleService {
public:
    virtual ~LocaleService() = default;
    virtual wchar_t decimalSeparator() = 0;
    /// The system's ANSI code page (log files).
    virtual const text::Encoder& ansi() = 0;
    /// The system's OEM code page (batch files).
    virtual const text::Encoder& oem() = 0;
};

} // namespace zorvo
