#include <gtest/gtest.h>

#include "core/system_error.h"

namespace zorvo {
namespace {

TEST(SystemReason, TheLineAddedToAFailure) {
    EXPECT_EQ(withSystemReason(L"Не удалось.", 0, L"Успех.\r\n"), L"Не удалось.");
    EXPECT_EQ(withSystemReason(L"X", 0x8007000EU, L"  Недостаточно\r\nпамяти.\t\r\n\r\n"),
              L"X\r\nПричина: Недостаточно памяти. (код 0x8007000E)");
    EXPECT_EQ(withSystemReason(L"X", 50, L"\r\n"),
              L"X\r\nПричина: система не описала эту ошибку (код 0x00000032)");
}

} // namespace
} // namespace zorvo
