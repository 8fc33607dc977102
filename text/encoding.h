#pragma once
// Text leaves the program as 8-bit bytes only at its edges (the log file, batch files). One
// encoder interface serves them all: the program's is backed by the system's code pages; the unit
// tests use table-driven Cyrillic ones, so they see exact bytes.

#include <optional>
#include <string>
#include <string_view>

namespace zorvo::text {

class Encoder {
public:
    virtual ~Encoder() = default;
    /// The bytes of `text`, or nothing when a character has no exact byte in the code page.
    virtual std::optional<std::string> encodeExact(std::wstring_view text) const = 0;
};

} // namespace zorvo::text
