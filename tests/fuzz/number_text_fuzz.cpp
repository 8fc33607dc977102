// The locale number conversion on arbitrary text and decimal separators. Properties: it accepts
// exactly the documented grammar, and an accepted number has the value the C library reads from
// the same digits.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "fuzz_input.h"
#include "text/number_text.h"

namespace {

using zorvo::fuzz::require;

bool allDigits(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

/// Blanks, a sign, digits with at most one separator and at least one digit, blanks.
bool matchesGrammar(std::wstring_view text, wchar_t separator) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) {
        return false;
    }
    text = text.substr(first, text.find_last_not_of(L" \t") + 1 - first);
    if (text.front() == L'+' || text.front() == L'-') {
        text.remove_prefix(1);
    }
    const std::size_t at = text.find(separator);
    if (at == std::wstring_view::npos) {
        return !text.empty() && allDigits(text);
    }
    const std::wstring_view whole = text.substr(0, at);
    const std::wstring_view fraction = text.substr(at + 1);
    return whole.size() + fraction.size() > 0 && allDigits(whole) && allDigits(fraction);
}

/// The same number in the C locale's spelling, read by strtod.
double libraryValue(const std::wstring& text, wchar_t separator) {
    std::string ascii;
    for (const wchar_t c : text) {
        ascii += c == separator ? '.' : static_cast<char>(c);
    }
    return std::strtod(ascii.c_str(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first unit is the separator; a digit, blank or sign cannot be one in any locale.
    std::wstring text = zorvo::fuzz::utf16Text(data, size);
    wchar_t separator = text.front();
    if ((separator >= L'0' && separator <= L'9') || separator == L' ' || separator == L'\t' ||
        separator == L'+' || separator == L'-' || separator == 0) {
        separator = L',';
    }
    text.erase(0, 1);

    const std::optional<double> value = zorvo::text::parseLocaleNumber(text, separator);
    require(value.has_value() == matchesGrammar(text, separator), "accepts exactly the grammar");
    require(zorvo::text::parseLocaleNumber(text, separator) == value, "deterministic");
    if (!value) {
        return 0;
    }
    require(!std::isnan(*value), "never NaN");
    const double expected = libraryValue(text, separator);
    require(std::signbit(*value) == std::signbit(expected), "sign");
    if (std::isinf(*value) || std::isinf(expected)) {
        require(std::fabs(*value) > 1e307 && std::fabs(expected) > 1e307,
                "overflow only when huge");
    } else {
        require(std::fabs(*value - expected) <= 1e-9 * std::fabs(expected) + 1e-300,
                "the value of the digits");
    }
    return 0;
}
