#include "text/encoder_win32.h"

#include <climits>
#include <stdexcept>

namespace zorvo::text {
namespace {

// The UTF code pages accept neither a default character nor WC_NO_BEST_FIT_CHARS; they can hold
// every character, so the only thing that can go wrong is a lone surrogate.
bool isUtf(UINT codePage) {
    return codePage == CP_UTF8 || codePage == CP_UTF7;
}

int checkedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("text too long to encode");
    }
    return static_cast<int>(size);
}

/// One WideCharToMultiByte conversion, sized first; nothing when the system refuses it.
std::optional<std::string> convert(UINT codePage, DWORD flags, std::wstring_view text,
                                   LPBOOL usedDefault) {
    if (text.empty()) {
        return std::string();
    }
    const int length = checkedLength(text.size());
    const int size =
        WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, usedDefault);
    if (size <= 0) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(),
                                            size, nullptr, usedDefault);
    if (written <= 0) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(written));
    return bytes;
}

/// True when `bytes` read back in `codePage` give `text` again.
bool roundTrips(UINT codePage, const std::string& bytes, std::wstring_view text) {
    if (bytes.empty()) {
        return text.empty();
    }
    const int length = checkedLength(bytes.size());
    const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) {
        return false;
    }
    std::wstring back(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, back.data(), size);
    return back == text;
}

} // namespace

std::optional<std::string> Win32Encoder::encodeExact(std::wstring_view text) const {
    if (isUtf(codePage_)) {
        return convert(codePage_, codePage_ == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0, text, nullptr);
    }
    // No best fit: "Ω" must not quietly become "O".
    BOOL usedDefault = FALSE;
    auto bytes = convert(codePage_, WC_NO_BEST_FIT_CHARS, text, &usedDefault);
    if (!bytes) {
        // A few code pages (ISO-2022, GB18030, symbol) refuse the flags; convert plainly and
        // see whether the bytes read back to the same text.
        bytes = convert(codePage_, 0, text, nullptr);
        if (bytes && !roundTrips(codePage_, *bytes, text)) {
            return std::nullopt;
        }
        return bytes;
    }
    if (usedDefault) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace zorvo::text
