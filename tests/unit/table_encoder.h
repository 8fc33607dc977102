#pragma once
// The tests' encoder: the two code pages a Russian-language Windows writes files in (Windows-1251
// for ANSI, 866 for OEM) as far as the program's texts and the tests' paths need them: ASCII, the
// Russian alphabet and the no-break space (byte 0xFF in 866, which cmd.exe splits at); and a
// Western system's Windows-1252, which holds none of the Russian letters. Anything else cannot be
// encoded, as a character outside a real code page cannot.

#include "text/encoding.h"

namespace zorvo::text {

enum class CodePage { Windows1251, Oem866, Windows1252 };

class TableEncoder final : public Encoder {
public:
    explicit TableEncoder(CodePage page) : page_(page) {}
    std::optional<std::string> encodeExact(std::wstring_view text) const override {
        std::string out;
        for (const wchar_t ch : text) {
            const int b = byteFor(ch);
            if (b < 0) {
                return std::nullopt;
            }
            out.push_back(static_cast<char>(b));
        }
        return out;
    }

private:
    int byteFor(wchar_t ch) const {
        const int i = static_cast<int>(ch) - 0x0410; // А to я
        const bool ansi = page_ == CodePage::Windows1251;
        if (ch < 0x80 || page_ == CodePage::Windows1252) {
            return ch < 0x80 ? static_cast<int>(ch) : -1;
        }
        if (i >= 0 && i < 64) {
            return ansi ? 0xC0 + i : (i < 48 ? 0x80 + i : 0xE0 + i - 48);
        }
        return ch == L'Ё'     ? (ansi ? 0xA8 : 0xF0)
               : ch == L'ё'   ? (ansi ? 0xB8 : 0xF1)
               : ch == 0x00A0 ? (ansi ? 0xA0 : 0xFF)
                              : -1;
    }
    CodePage page_;
};

} // namespace zorvo::text
