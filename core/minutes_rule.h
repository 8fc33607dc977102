#pragma once
// The rule that keeps a minutes box holding a whole number from 1 to 360. The main window and
// the batch-file dialog both use it on their own box.

#include <optional>
#include <string>

#include "core/controls.h"
#include "core/services.h"

namespace zorvo {

inline constexpr int kMinMinutes = 1;
inline constexpr int kMaxMinutes = 360;
inline constexpr wchar_t kRangeWarning[] =
    L"Вы пытаетесь ввести недопустимое значение!\r\nДопустимый диапазон от 1 до 360 мин";

class MinutesRule {
public:
    MinutesRule(ComboBox& box, MessageBoxService& messages, LocaleService& locale)
        : box_(box), messages_(messages), locale_(locale) {}

    /// Runs the rule on the box's current text (the box's Change event).
    void change();
    /// Writes `text` into the box. Writing the text it already holds is no change; any other
    /// text is a change and runs the rule on it, as typing would.
    void write(const std::wstring& text);
    /// The box's text as a number, by the locale's conversion.
    std::optional<double> value() const;

private:
    ComboBox& box_;
    MessageBoxService& messages_;
    LocaleService& locale_;
};

} // namespace zorvo
