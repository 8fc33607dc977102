#pragma once
// UTF-8, the encoding that holds every character: the log falls back to it where the system's
// ANSI code page cannot hold an entry.

#include <string>
#include <string_view>

namespace zorvo::text {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

/// The UTF-8 bytes of `text` (UTF-16 where wchar_t has 16 bits, UTF-32 elsewhere). A lone
/// surrogate, which no character can be, becomes U+FFFD.
std::string toUtf8(std::wstring_view text);

} // namespace zorvo::text
