#include "system/error_text_win32.h"

#include <windows.h>

#include <iterator>

namespace zorvo {
namespace {

std::wstring systemMessage(DWORD code) {
    // Language 0: the thread's, then the user's, then the system's language, then English.
    // Inserts are left as they stand: nothing here could fill them in.
    wchar_t buffer[1024];
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    return {buffer, length};
}

} // namespace

std::wstring Win32ErrorTexts::describe(std::uint32_t code) {
    std::wstring text = systemMessage(code);
    // An HRESULT that wraps a Win32 error: where the table lacks the HRESULT, the error's own
    // text says the same.
    constexpr std::uint32_t kWin32Facility = 0x80070000U;
    if (text.empty() && (code & 0xFFFF0000U) == kWin32Facility) {
        text = systemMessage(code & 0xFFFFU);
    }
    return text;
}

} // namespace zorvo
