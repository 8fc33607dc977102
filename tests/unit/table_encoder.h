#pragma once
// The tests' encoder: the two Cyrillic code pages a Russian-language Windows writes files in
// (Windows-1251 for ANSI, 866 for OEM), from fixed tables, so a test sees exact bytes without the
// system's code-page services.

#include "text/encoding.h"

namespace zorvo::text {

enum class CodePage { Windows1251, Oem866 };

/// A table-driven encoder for one of the two Cyrillic code pages; ASCII maps to itself.
class TableEncoder final : public Encoder {
public:
    explicit TableEncoder(CodePage page) : page_(page) {}
    std::optional<std::string> encodeExact(std::wstring_view text) const override;

private:
    CodePage page_;
};

namespace detail {
extern const char16_t kWindows1251High[128];
extern const char16_t kOem866High[128];
} // namespace detail

} // namespace zorvo::text
