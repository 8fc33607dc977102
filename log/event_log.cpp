#include "log/event_log.h"

#include "text/utf8.h"

namespace zorvo {

std::wstring formatLogEntry(const std::wstring& date, const std::wstring& time,
                            const std::wstring& eventText) {
    return L"[" + date + L"   " + time + L"]\r\n" + eventText + L"\r\n" +
           L"************************\r\n";
}

LogFileStart logFileStart(bool exists, const std::optional<std::string>& head) {
    if (!head) {
        return LogFileStart::Other;
    }
    if (!exists || head->empty()) {
        return LogFileStart::NewOrEmpty;
    }
    return head->starts_with(text::kUtf8Bom) ? LogFileStart::Utf8 : LogFileStart::Other;
}

std::optional<std::string> logEntryBytes(const std::wstring& entry, LogFileStart start,
                                         const text::Encoder& ansi) {
    if (start == LogFileStart::Utf8) {
        return text::toUtf8(entry);
    }
    if (std::optional<std::string> bytes = ansi.encodeExact(entry)) {
        return bytes;
    }
    if (start == LogFileStart::NewOrEmpty) {
        return std::string(text::kUtf8Bom) + text::toUtf8(entry);
    }
    return std::nullopt;
}

} // namespace zorvo
