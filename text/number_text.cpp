#include "text/number_text.h"

namespace zorvo::text {
namespace {

bool isBlank(wchar_t ch) {
    return ch == L' ' || ch == L'\t';
}
bool isDigit(wchar_t ch) {
    return ch >= L'0' && ch <= L'9';
}

} // namespace

std::optional<double> parseLocaleNumber(std::wstring_view text, wchar_t decimalSeparator) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    double whole = 0.0;
    double fraction = 0.0;
    double scale = 1.0;
    int digits = 0;
    bool inFraction = false;
    for (; i < n; ++i) {
        const wchar_t ch = text[i];
        if (isDigit(ch)) {
            ++digits;
            if (inFraction) {
                scale /= 10.0;
                fraction += (ch - L'0') * scale;
            } else {
                whole = whole * 10.0 + (ch - L'0');
            }
        } else if (ch == decimalSeparator && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
    }
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (digits == 0 || i != n) {
        return std::nullopt;
    }
    const double value = whole + fraction;
    return negative ? -value : value;
}

} // namespace zorvo::text
