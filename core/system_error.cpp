#include "core/system_error.h"

namespace zorvo {
namespace {

std::wstring hexCode(std::uint32_t code) {
    constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text(8, L'0');
    for (std::size_t i = 8; i-- > 0;) {
        text[i] = kDigits[code & 0xFU];
        code >>= 4;
    }
    return L"0x" + text;
}

/// Line breaks and runs of blanks become one blank; none is left at either end.
std::wstring oneLine(const std::wstring& text) {
    std::wstring line;
    bool blank = false;
    for (wchar_t ch : text) {
        if (ch == L'\r' || ch == L'\n' || ch == L' ' || ch == L'\t') {
            blank = !line.empty();
            continue;
        }
        if (blank) {
            line += L' ';
            blank = false;
        }
        line += ch;
    }
    return line;
}

} // namespace

std::wstring withSystemReason(const std::wstring& message, std::uint32_t code,
                              const std::wstring& systemText) {
    if (code == 0) {
        return message;
    }
    const std::wstring words = oneLine(systemText);
    return message + L"\r\nПричина: " +
           (words.empty() ? std::wstring(L"система не описала эту ошибку") : words) + L" (код " +
           hexCode(code) + L")";
}

} // namespace zorvo
