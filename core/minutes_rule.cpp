#include "core/minutes_rule.h"

#include <cmath>

#include "text/number_text.h"

namespace zorvo {

std::optional<double> MinutesRule::value() const {
    return text::parseLocaleNumber(box_.text(), locale_.decimalSeparator());
}

void MinutesRule::write(const std::wstring& text) {
    if (box_.text() == text) {
        return;
    }
    box_.setText(text);
    change();
}

void MinutesRule::change() {
    if (box_.text().empty()) {
        write(L"1");
        box_.setSelLength(1);
    }
    const std::optional<double> entered = value();
    if (!entered || *entered > kMaxMinutes || *entered <= 0) {
        messages_.show(kRangeWarning);
        write(L"1");
        box_.setSelLength(1);
    }
    // Whatever the nested runs left is valid; keep only its whole part.
    const std::optional<double> accepted = value();
    const long whole = accepted ? static_cast<long>(std::trunc(*accepted)) : kMinMinutes;
    write(std::to_wstring(whole));
    box_.setSelLength(static_cast<int>(box_.text().size()));
}

} // namespace zorvo
