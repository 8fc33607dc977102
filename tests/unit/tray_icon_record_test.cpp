#include <gtest/gtest.h>

#include "core/tray_icon_record.h"

namespace zorvo {
namespace {

TEST(TrayIconRecord, TipIsCutAtItsNul) {
    TrayIconRecord r;
    r.setTip(L"Zorvo запущен: Подача звукового сигнала");
    EXPECT_EQ(r.tipField.size(), 48u);
    EXPECT_EQ(r.tipText(), L"Zorvo запущен: Подача звукового сигнала");
    r.setTip(L"Zorvo запущен: Ждущий режим");
    EXPECT_EQ(r.tipText(), L"Zorvo запущен: Ждущий режим") << "a shorter tip leaves no rest";
    for (const std::size_t length : {48u, 60u}) {
        r.setTip(std::wstring(length, L'x'));
        EXPECT_EQ(r.tipText(), std::wstring(47, L'x')) << "the NUL always fits";
        EXPECT_EQ(r.tipField.size(), 48u);
    }
}

} // namespace
} // namespace zorvo
