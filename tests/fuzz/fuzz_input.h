#pragma once
// Turns a fuzzer's bytes into UTF-16 text. Bytes below 0xF0 stand for themselves (so seeds are
// readable ASCII files); 0xF0 and above take the next two bytes as one UTF-16 unit (low byte
// first), so every unit, NUL and lone surrogates included, can be reached.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zorvo::fuzz {

inline std::wstring utf16Text(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] < 0xF0 || i + 2 >= size) {
            text += static_cast<wchar_t>(data[i]);
        } else {
            text += static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8));
            i += 2;
        }
    }
    return text;
}

/// Stops the run when a property does not hold; libFuzzer keeps the input that did it.
inline void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property violated: %s\n", property);
        std::abort();
    }
}

} // namespace zorvo::fuzz
