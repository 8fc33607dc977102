#pragma once
// The number conversion used by the minutes boxes: what a user of this locale would accept as a
// plain number, and nothing more.

#include <optional>
#include <string_view>

namespace zorvo::text {

/// Converts `text` to a number. Accepted: optional blanks, an optional sign, decimal digits with
/// at most one `decimalSeparator` (and at least one digit), optional blanks. Nothing else
/// converts: no exponent, thousands separator, hexadecimal or currency.
std::optional<double> parseLocaleNumber(std::wstring_view text, wchar_t decimalSeparator);

} // namespace zorvo::text
