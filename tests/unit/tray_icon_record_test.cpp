#include <gtest/gtest.h>

#include "app/tray_icon_record.h"

namespace zorvo {
namespace {

TEST(TrayIconRecord, AnsiFormIsSeventyTwoBytesWithABlankFilledTip) {
    TrayIconRecord r;
    r.window = 0x00010203;
    r.icon = 0x0A0B0C0D;
    r.setTip(L"Программа-Zorvo");
    const auto bytes = toAnsiBytes(r, text::TableEncoder(text::CodePage::Windows1251));

    const std::uint8_t head[24] = {72, 0, 0, 0, 0x03, 0x02, 0x01, 0, 1,    0,    0,    0,
                                   7,  0, 0, 0, 0,    2,    0,    0, 0x0D, 0x0C, 0x0B, 0x0A};
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(bytes[static_cast<std::size_t>(i)], head[i]) << "byte " << i;
    }
    // "Программа-Zorvo" in Windows-1251, then NUL, then blanks to the end of the 48-byte field.
    const std::uint8_t tip[] = {0xCF, 0xF0, 0xEE, 0xE3, 0xF0, 0xE0, 0xEC, 0xEC,
                                0xE0, '-',  'Z',  'o',  'r',  'v',  'o',  0};
    for (std::size_t i = 0; i < sizeof tip; ++i) {
        EXPECT_EQ(bytes[24 + i], tip[i]) << "tip byte " << i;
    }
    for (std::size_t i = 24 + sizeof tip; i < 72; ++i) {
        EXPECT_EQ(bytes[i], ' ') << "byte " << i;
    }
}

TEST(TrayIconRecord, TipIsCutAtItsNul) {
    TrayIconRecord r;
    r.setTip(L"Zorvo запущен: Подача звукового сигнала");
    EXPECT_EQ(r.tipField.size(), 48u);
    EXPECT_EQ(r.tipText(), L"Zorvo запущен: Подача звукового сигнала");
    r.setTip(L"Zorvo запущен: Ждущий режим");
    EXPECT_EQ(r.tipText(), L"Zorvo запущен: Ждущий режим") << "a shorter tip leaves no rest";
    r.setTip(std::wstring(60, L'x'));
    EXPECT_EQ(r.tipText(), std::wstring(47, L'x')) << "the NUL always fits";
}

} // namespace
} // namespace zorvo
