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
    r.setTip(std::wstring(60, L'x'));
    EXPECT_EQ(r.tipText(), std::wstring(47, L'x')) << "the NUL always fits";
}

} // namespace
} // namespace zorvo
