// The minutes rule, and the locale number conversion it reads the box with, on pasted text and
// on keystroke sequences, with any decimal separator. Properties: after every change the box holds
// a whole number from 1 to 360 without leading zeros; a change shows at most one warning; it shows
// one exactly when the text was not a number from 1 to 360 (its whole part), and then the box
// holds "1". (The conversion's grammar itself is pinned by the unit tests' table.)

#include <cmath>

#include "../unit/fakes.h"
#include "core/minutes_rule.h"
#include "fuzz_input.h"
#include "text/number_text.h"

namespace {

using zorvo::fuzz::require;

struct Rule {
    zorvo::fakes::Journal journal;
    zorvo::fakes::FakeComboBox box;
    zorvo::fakes::FakeMessages messages{journal};
    zorvo::fakes::FakeLocale locale;
    zorvo::MinutesRule rule{box, messages, locale};

    /// Runs the rule as the box's change event would and checks what it left.
    void change() {
        const std::wstring entered = box.text();
        const std::size_t before = messages.shown.size();
        rule.change();
        const std::size_t warnings = messages.shown.size() - before;
        const std::wstring& result = box.text_;
        require(warnings <= 1, "at most one warning per change");
        require(!result.empty() && result.size() <= 3 && result.front() != L'0', "no leading zero");
        int minutes = 0;
        for (const wchar_t c : result) {
            require(c >= L'0' && c <= L'9', "digits only");
            minutes = minutes * 10 + (c - L'0');
        }
        require(minutes >= zorvo::kMinMinutes && minutes <= zorvo::kMaxMinutes, "1 to 360");

        const auto number = zorvo::text::parseLocaleNumber(entered, locale.separator);
        const double whole = number ? std::trunc(*number) : 0.0;
        const bool valid =
            entered.empty() || (number && *number <= zorvo::kMaxMinutes && whole >= 1);
        require(warnings == (valid ? 0u : 1u), "a warning exactly for an invalid text");
        if (!valid || entered.empty()) {
            require(result == L"1", "an invalid or empty text leaves 1");
        } else {
            require(minutes == static_cast<int>(whole), "a valid text keeps its whole part");
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    Rule r;
    r.locale.separator = static_cast<wchar_t>(data[1]);
    const std::wstring text = zorvo::fuzz::utf16Text(data + 2, size - 2);
    if (data[0] % 2 == 0) {
        // One edit: the whole text pasted over the box.
        r.box.text_ = text;
        r.box.selStart_ = static_cast<int>(text.size());
        r.change();
        return 0;
    }
    // Keystrokes: 8 is backspace, 1 selects everything, 2 moves the caret home.
    for (const wchar_t key : text) {
        if (key == 1 || key == 2) {
            r.box.selStart_ = 0;
            r.box.selLength_ = key == 1 ? r.box.length() : 0;
        } else if (r.box.type(key)) {
            r.change();
        }
    }
    return 0;
}
