#pragma once
// The event log's entry format: three CR LF lines per performed task.

#include <string>

namespace zorvo {

inline constexpr wchar_t kLogFileName[] = L"zorvo.log";

/// "[" date, three blanks, time "]", the event text, 24 asterisks; each line ends in CR LF.
std::wstring formatLogEntry(const std::wstring& date, const std::wstring& time,
                            const std::wstring& eventText);

} // namespace zorvo
