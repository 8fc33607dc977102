#include "table_encoder.h"

#include <cstdint>

namespace zorvo::text {
namespace {

constexpr int kUnmapped = -1;

int byteFor(wchar_t ch, CodePage page) {
    const auto code = static_cast<std::uint32_t>(ch);
    if (code < 0x80) {
        return static_cast<int>(code);
    }
    const char16_t* high =
        page == CodePage::Windows1251 ? detail::kWindows1251High : detail::kOem866High;
    for (int i = 0; i < 128; ++i) {
        if (high[i] != 0 && static_cast<wchar_t>(high[i]) == ch) {
            return 0x80 + i;
        }
    }
    return kUnmapped;
}

} // namespace

std::optional<std::string> TableEncoder::encodeExact(std::wstring_view text) const {
    std::string out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        const int b = byteFor(ch, page_);
        if (b == kUnmapped) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(static_cast<unsigned char>(b)));
    }
    return out;
}

} // namespace zorvo::text
