#include <gtest/gtest.h>

#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

TEST(SystemReason, TheLineAddedToAFailure) {
    EXPECT_EQ(withSystemReason(L"Не удалось.", 0, L"Операция успешно завершена.\r\n"),
              L"Не удалось.")
        << "code 0 names no error";
    EXPECT_EQ(withSystemReason(L"Не удалось.", 50, L"Запрос не поддерживается.\r\n"),
              L"Не удалось.\r\nПричина: Запрос не поддерживается. (код 0x00000032)");
    EXPECT_EQ(withSystemReason(L"A\r\nB", 0x80020006U, L""),
              L"A\r\nB\r\nПричина: система не описала эту ошибку (код 0x80020006)");
    EXPECT_EQ(withSystemReason(L"X", 0x8007000EU, L"  Недостаточно\r\nпамяти.\t\r\n\r\n"),
              L"X\r\nПричина: Недостаточно памяти. (код 0x8007000E)");
    EXPECT_EQ(withSystemReason(L"X", 0xFFFFFFFFU, L"\r\n"),
              L"X\r\nПричина: система не описала эту ошибку (код 0xFFFFFFFF)");
}

// The box after a task the system refused at the end keeps its text and adds the system's words.
TEST(SystemReason, RefusedTasksCarryTheSystemsWords) {
    struct Case {
        void (frmMain::*select)();
        const wchar_t* text;
    };
    const Case cases[] = {
        {&frmMain::mnuWait_Click,
         L"Не удалось перевести компьютер в ждущий режим: система отказала в переходе."},
        {&frmMain::mnuSleep_Click,
         L"Не удалось перевести компьютер в спящий режим: система отказала в переходе."},
        {&frmMain::mnuShutDown_Click,
         L"Не удалось выключить компьютер.\r\nслужба WMI недоступна (0x80041003)"},
        {&frmMain::mnuReboot_Click,
         L"Не удалось перезагрузить компьютер.\r\nслужба WMI недоступна (0x80041003)"},
    };
    for (const Case& c : cases) {
        MainHarness run;
        run.start();
        (run.form_.*c.select)();
        run.power.result = 0;
        run.power.error = 1314;
        run.actions.wmiResult = {false, L"служба WMI недоступна (0x80041003)", 0x80041003U};
        run.errorTexts.texts = {{1314, L"Клиент не обладает требуемыми правами.\r\n"},
                                {0x80041003U, L"Отказано в доступе \r\n"}};
        run.form_.lblActivate_Click();
        run.ticks(60);
        ASSERT_EQ(run.messages.shown.size(), 1u);
        const bool library =
            c.select == &frmMain::mnuWait_Click || c.select == &frmMain::mnuSleep_Click;
        EXPECT_EQ(run.messages.shown[0],
                  std::wstring(c.text) +
                      (library ? L"\r\nПричина: Клиент не обладает требуемыми правами. (код "
                                 L"0x00000522)"
                               : L"\r\nПричина: Отказано в доступе (код 0x80041003)"));
        EXPECT_TRUE(run.form.closed);
    }
}

TEST(SystemReason, ALibraryFailureWithoutACodeKeepsItsTextAlone) {
    MainHarness run;
    run.start();
    run.form_.mnuWait_Click();
    run.power.result = 0;
    run.form_.lblActivate_Click();
    run.ticks(60);
    ASSERT_EQ(run.messages.shown.size(), 1u);
    EXPECT_EQ(run.messages.shown[0],
              L"Не удалось перевести компьютер в ждущий режим: система отказала в переходе.");

    // Success leaves whatever error the system had lying about unread.
    MainHarness ok;
    ok.start();
    ok.form_.mnuSleep_Click();
    ok.power.error = 5;
    ok.form_.lblActivate_Click();
    ok.ticks(60);
    EXPECT_TRUE(ok.messages.shown.empty());
}

} // namespace
} // namespace zorvo
