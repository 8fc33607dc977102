#pragma once
// The event log's entry format: three CR LF lines per performed task, and the bytes they are
// written in.

#include <optional>
#include <string>
#include <string_view>

#include "text/encoding.h"

namespace zorvo {

inline constexpr wchar_t kLogFileName[] = L"zorvo.log";

/// "[" date, three blanks, time "]", the event text, 24 asterisks; each line ends in CR LF.
std::wstring formatLogEntry(const std::wstring& date, const std::wstring& time,
                            const std::wstring& eventText);

/// How the log file begins, which decides the encoding of what is appended.
enum class LogFileStart {
    NewOrEmpty, ///< missing or empty: the entry may choose
    Utf8,       ///< begins with the UTF-8 byte order mark
    Other,      ///< anything else (an ANSI file, or one that could not be read)
};

/// `head`: the first bytes of the file, or nothing when it could not be read.
LogFileStart logFileStart(bool exists, const std::optional<std::string>& head);

/// The bytes that append `entry`: the system's ANSI code page where it holds the entry exactly;
/// a file begun with the UTF-8 byte order mark goes on in UTF-8, and a new file that ANSI cannot
/// serve is begun that way. Nothing for any other file that ANSI cannot serve: two encodings in
/// one file would garble it, and question marks would lose the entry's words.
std::optional<std::string> logEntryBytes(const std::wstring& entry, LogFileStart start,
                                         const text::Encoder& ansi);

} // namespace zorvo
