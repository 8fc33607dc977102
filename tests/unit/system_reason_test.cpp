#include <gtest/gtest.h>

#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

TEST(SystemReason, TheLineAddedToAFailure) {
    EXPECT_EQ(withSystemReason(L"Не удалось.", 0, L"Успех.\r\n"), L"Не удалось.");
    EXPECT_EQ(withSystemReason(L"X", 0x8007000EU, L"  Недостаточно\r\nпамяти.\t\r\n\r\n"),
              L"X\r\nПричина: Недостаточно памяти. (код 0x8007000E)");
    EXPECT_EQ(withSystemReason(L"X", 50, L"\r\n"),
              L"X\r\nПричина: система не описала эту ошибку (код 0x00000032)");
}

// Without a code the box after a refused task keeps the text it always had.
TEST(SystemReason, NoCodeNoReason) {
    MainHarness run;
    run.start();
    run.click(L"mnuWait");
    run.power.result = 0;
    run.click(L"lblActivate");
    run.ticks(60);
    EXPECT_EQ(run.messages.shown.at(0),
              L"Не удалось перевести компьютер в ждущий режим: система отказала в переходе.");
}

} // namespace
} // namespace zorvo
