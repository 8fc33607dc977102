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

// The box after a task the system refused at the end keeps its text and adds the system's words.
TEST(SystemReason, RefusedTasksCarryTheSystemsWords) {
    const std::pair<void (frmMain::*)(), const wchar_t*> cases[] = {
        {&frmMain::mnuWait_Click,
         L"Не удалось перевести компьютер в ждущий режим: система отказала в переходе."},
        {&frmMain::mnuSleep_Click,
         L"Не удалось перевести компьютер в спящий режим: система отказала в переходе."},
        {&frmMain::mnuShutDown_Click,
         L"Не удалось выключить компьютер.\r\nслужба WMI (0x80041003)"},
        {&frmMain::mnuReboot_Click,
         L"Не удалось перезагрузить компьютер.\r\nслужба WMI (0x80041003)"},
    };
    for (const auto& [select, text] : cases) {
        MainHarness run;
        run.start();
        (run.form_.*select)();
        run.power.result = 0;
        run.power.error = 1314;
        run.actions.wmiResult = {false, L"служба WMI (0x80041003)", 0x80041003U};
        run.errorTexts.texts = {{1314, L"Нет прав.\r\n"}, {0x80041003U, L"Отказано.\r\n"}};
        run.form_.lblActivate_Click();
        run.ticks(60);
        ASSERT_EQ(run.messages.shown.size(), 1u);
        const bool library =
            select == &frmMain::mnuWait_Click || select == &frmMain::mnuSleep_Click;
        EXPECT_EQ(run.messages.shown[0],
                  std::wstring(text) + (library ? L"\r\nПричина: Нет прав. (код 0x00000522)"
                                                : L"\r\nПричина: Отказано. (код 0x80041003)"));
    }
    // Without a code the text stays as it always was.
    MainHarness run;
    run.start();
    run.form_.mnuWait_Click();
    run.power.result = 0;
    run.form_.lblActivate_Click();
    run.ticks(60);
    EXPECT_EQ(run.messages.shown.at(0),
              L"Не удалось перевести компьютер в ждущий режим: система отказала в переходе.");
}

} // namespace
} // namespace zorvo
