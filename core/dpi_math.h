#pragma once
// Twips, points and pixels at a given DPI. A form is designed in twips (1/1440 inch); at 96 dpi
// that is 15 twips per pixel, and at any other DPI the same physical size, so the window stays
// crisp instead of being stretched by the system.

#include <cmath>
#include <cstdint>

namespace zorvo {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kDefaultDpi = 96;

/// number * numerator / denominator, rounded half away from zero, as Win32's MulDiv does; -1
/// for a zero denominator, as it does too.
constexpr int mulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    // In 64 bits: the magnitude of INT_MIN does not fit in an int.
    const std::int64_t divisor =
        denominator < 0 ? -static_cast<std::int64_t>(denominator) : denominator;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (product < 0 ? -product : product) + divisor / 2;
    const std::int64_t quotient = magnitude / divisor;
    return static_cast<int>(negative ? -quotient : quotient);
}

constexpr int twipsToPixels(int twips, int dpi) {
    return mulDiv(twips, dpi, kTwipsPerInch);
}

/// The LOGFONT height (negative: character height without internal leading) of a font of
/// `pointSize` points at `dpi`. The size is taken in hundredths of a point so 9.75 and 8.25
/// survive exactly.
inline int fontHeightForDpi(double pointSize, int dpi) {
    const int hundredths = static_cast<int>(std::lround(pointSize * 100.0));
    return -mulDiv(hundredths, dpi, 72 * 100);
}

/// Milliseconds to wait, at `millisecond` past the current wall-clock second, so as to wake
/// just after the next second begins.
constexpr int msToNextSecond(int millisecond) {
    constexpr int kSlack = 2;
    const int wait = 1000 - millisecond + kSlack;
    return wait < 1 ? 1 : wait;
}

} // namespace zorvo
