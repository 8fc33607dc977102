#pragma once
// Text leaves the program as 8-bit bytes only at its edges (the log file, batch files). One
// encoder interface serves them all: on Windows it is backed by the
// system's code pages, in the portable layer by the two Cyrillic tables, so tests see exact bytes.

#include <optional>
#include <string>
#include <string_view>

namespace zorvo::text {

class Encoder {
public:
    virtual ~Encoder() = default;
    /// The bytes of `text`, or nothing when a character has no exact byte in the code page.
    virtual std::optional<std::string> encodeExact(std::wstring_view text) const = 0;
    /// The bytes of `text`, with '?' for each character the code page cannot hold.
    virtual std::string encodeLossy(std::wstring_view text) const = 0;
};

enum class CodePage { Windows1251, Oem866 };

/// A table-driven encoder for one of the two Cyrillic code pages; ASCII maps to itself.
class TableEncoder final : public Encoder {
public:
    explicit TableEncoder(CodePage page) : page_(page) {}
    std::optional<std::string> encodeExact(std::wstring_view text) const override;
    std::string encodeLossy(std::wstring_view text) const override;

private:
    CodePage page_;
};

namespace detail {
extern const char16_t kWindows1251High[128];
extern const char16_t kOem866High[128];
} // namespace detail

} // namespace zorvo::text
