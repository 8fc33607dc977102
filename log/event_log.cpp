#include "log/event_log.h"

namespace zorvo {

std::wstring formatLogEntry(const std::wstring& date, const std::wstring& time,
                            const std::wstring& eventText) {
    return L"[" + date + L"   " + time + L"]\r\n" + eventText + L"\r\n" +
           L"************************\r\n";
}

} // namespace zorvo
