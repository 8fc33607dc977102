#include <gtest/gtest.h>

#include "batch/batch_file.h"
#include "batch/frm_bat.h"
#include "batch/frm_bat_layout.h"
#include "fakes.h"
#include "route_cases.h"

namespace zorvo {
namespace {

using fakes::FakeComboBox;
using fakes::FakeLabel;
using fakes::Journal;

struct FakeOption final : fakes::FakeControl<OptionButton> {
    bool value_ = false;
    bool value() const override { return value_; }
    void setValue(bool on) override { value_ = on; }
};

struct BatHarness {
    Journal journal;
    fakes::FakeForm form{journal};
    FakeComboBox Combo1, Combo2;
    FakeOption Option1, Option2, Option3;
    FakeLabel lblOK{L"Генерация"}, lblCancel{L"Отмена"};
    fakes::FakeMessages messages{journal};
    fakes::FakeLocale locale;
    fakes::FakeProcess process;
    fakes::FakeFiles files{journal};
    std::optional<std::wstring> shortForm;
    frmBat dialog{BatControls{form, Combo1, Combo2, Option1, Option2, Option3, lblOK, lblCancel},
                  BatServices{messages, locale, process, files,
                              [this](const std::wstring&) { return shortForm; }}};

    BatHarness() {
        Option1.value_ = true;
        for (const Task& a : kTasks) {
            Combo2.addItem(a.batchItem);
        }
    }
    std::string generate(const wchar_t* action, const wchar_t* minutes, FakeOption* mode) {
        dialog.Form_Load();
        Combo2.setListIndex(
            static_cast<int>(std::find_if(Combo2.items_.begin(), Combo2.items_.end(),
                                          [&](const std::wstring& i) { return i == action; }) -
                             Combo2.items_.begin()));
        Combo1.text_ = minutes;
        dialog.Combo1_Change();
        for (FakeOption* o : {&Option1, &Option2, &Option3}) {
            o->value_ = o == mode;
        }
        dialog.lblOK_Click();
        return files.files[findBatchAction(action)->batchFile];
    }
};

TEST(BatchFile, DefaultsAndEachActionAndMode) {
    BatHarness h;
    h.dialog.Form_Load();
    EXPECT_EQ(h.Combo1.text(), L"1");
    EXPECT_EQ(h.Combo1.itemCount(), 360);
    EXPECT_EQ(h.Combo2.text(), L"Выключение");
    EXPECT_EQ(h.dialog.ProgramFolder, L"C:\\Tools\\");
    h.dialog.lblOK_Click();
    EXPECT_EQ(h.files.files.at(L"shutdown.bat"),
              "start C:\\Tools\\zorvo.exe /v 1 \r\necho exit\r\n");
    EXPECT_TRUE(h.form.closed);

    const std::pair<const wchar_t*, const char*> actions[] = {{L"Ждущий режим", "/w"},
                                                              {L"Звуковой сигнал", "/a"},
                                                              {L"Перезагрузка", "/r"},
                                                              {L"Спящий режим", "/s"},
                                                              {L"Выключение", "/v"}};
    for (auto [action, sw] : actions) {
        BatHarness run;
        EXPECT_EQ(run.generate(action, L"45", &run.Option3),
                  std::string("start C:\\Tools\\zorvo.exe ") + sw + " 45 /hid\r\necho exit\r\n");
    }
    BatHarness run;
    EXPECT_EQ(run.generate(L"Перезагрузка", L"360", &run.Option2),
              "start C:\\Tools\\zorvo.exe /r 360 /min\r\necho exit\r\n");
}

TEST(BatchFile, PathsCmdExeMustReadAsWritten) {
    struct Case {
        std::wstring folder, exe;
        std::string line;
    };
    const Case cases[] = {
        {L"D:\\", L"zorvo", "start D:\\zorvo.exe /v 1 "},
        {L"C:\\Tools", L"timer", "start C:\\Tools\\timer.exe /v 1 "},
        {L"C:\\My Tools", L"zorvo", "start \"\" \"C:\\My Tools\\zorvo.exe\" /v 1 "},
        {L"C:\\A&B", L"zorvo", "start \"\" \"C:\\A&B\\zorvo.exe\" /v 1 "},
        {L"C:\\100%", L"zorvo", "start C:\\100%%\\zorvo.exe /v 1 "},
        {L"C:\\50% off", L"z", "start \"\" \"C:\\50%% off\\z.exe\" /v 1 "},
        // "Программы" in code page 866.
        {L"C:\\Программы", L"zorvo",
         "start C:\\\x8F\xE0\xAE\xA3\xE0\xA0\xAC\xAC\xEB\\zorvo.exe /v 1 "},
    };
    for (const Case& c : cases) {
        BatHarness h;
        h.process.folder = c.folder;
        h.process.exe = c.exe;
        h.dialog.Form_Load();
        h.dialog.lblOK_Click();
        EXPECT_EQ(h.files.files[L"shutdown.bat"], c.line + "\r\necho exit\r\n")
            << testing::PrintToString(c.folder);
    }
}

TEST(BatchFile, PathOutsideTheOemCodePage) {
    BatHarness h;
    h.process.folder = L"C:\\Ωmega";
    h.shortForm = L"C:\\MEGA~1\\zorvo.exe";
    h.dialog.Form_Load();
    h.dialog.lblOK_Click();
    EXPECT_EQ(h.files.files[L"shutdown.bat"],
              "start \"\" \"C:\\MEGA~1\\zorvo.exe\" /v 1 \r\necho exit\r\n");

    BatHarness none;
    none.process.folder = L"C:\\Ωmega";
    none.dialog.Form_Load();
    none.dialog.lblOK_Click();
    EXPECT_TRUE(none.files.files.empty());
    ASSERT_EQ(none.messages.shown.size(), 1u);
    EXPECT_NE(none.messages.shown[0].find(L"C:\\Ωmega\\zorvo.exe"), std::wstring::npos);
    EXPECT_FALSE(none.form.closed) << "the dialog stays open";
}

TEST(BatchFile, WriteFailureKeepsTheDialogAndTheOldFile) {
    BatHarness h;
    h.files.files[L"reset.bat"] = "old";
    h.messages.answerYes = true;
    h.files.failWrites = true;
    h.generate(L"Перезагрузка", L"5", &h.Option1);
    EXPECT_EQ(h.files.files[L"reset.bat"], "old");
    EXPECT_EQ(h.messages.shown.size(), 1u);
    EXPECT_FALSE(h.form.closed);

    BatHarness twice; // the second choice replaces the first, once the user agrees
    twice.messages.answerYes = true;
    twice.generate(L"Перезагрузка", L"5", &twice.Option1);
    twice.generate(L"Перезагрузка", L"7", &twice.Option2);
    EXPECT_EQ(twice.files.files.size(), 1u);
    EXPECT_EQ(twice.files.files[L"reset.bat"],
              "start C:\\Tools\\zorvo.exe /r 7 /min\r\necho exit\r\n");
}

TEST(BatchFile, PathsThatCmdCannotRunLongHand) {
    struct Case {
        std::wstring folder;
        std::optional<std::wstring> shortForm;
        std::string line; // empty: nothing written, a message instead
    };
    const std::wstring deep =
        L"C:\\" + std::wstring(241, L'd') + L"\\Zorvo";              // 260 with "\\zorvo.exe"
    const std::wstring justFits = L"C:\\" + std::wstring(246, L'e'); // 259 in all
    const Case cases[] = {
        {L"C:\\Wow!", L"C:\\WOW~1\\zorvo.exe", "start \"\" \"C:\\WOW~1\\zorvo.exe\" /v 1 "},
        {L"C:\\Wow!", std::nullopt, "start \"\" \"C:\\Wow!\\zorvo.exe\" /v 1 "},
        {L"C:\\Wow!", L"C:\\WOW!~1\\zorvo.exe", "start \"\" \"C:\\Wow!\\zorvo.exe\" /v 1 "},
        {deep, L"C:\\DDDDDD~1\\Zorvo\\zorvo.exe",
         "start \"\" \"C:\\DDDDDD~1\\Zorvo\\zorvo.exe\" /v 1 "},
        {deep, std::nullopt, ""},
        {justFits, std::nullopt, "start C:\\" + std::string(246, 'e') + "\\zorvo.exe /v 1 "},
    };
    for (const Case& c : cases) {
        BatHarness h;
        h.process.folder = c.folder;
        h.shortForm = c.shortForm;
        h.dialog.Form_Load();
        h.dialog.lblOK_Click();
        const auto label = testing::PrintToString(c.folder.substr(0, 12)) +
                           testing::PrintToString(c.shortForm.value_or(L"-"));
        if (c.line.empty()) {
            EXPECT_TRUE(h.files.files.empty()) << label;
            ASSERT_EQ(h.messages.shown.size(), 1u) << label;
            EXPECT_NE(h.messages.shown[0].find(L"259"), std::wstring::npos);
            EXPECT_FALSE(h.form.closed);
        } else {
            EXPECT_EQ(h.files.files[L"shutdown.bat"], c.line + "\r\necho exit\r\n") << label;
        }
    }
}

TEST(BatchFile, AUsersOwnFileIsReplacedOnlyAfterAYes) {
    const std::string ours = "start C:\\Tools\\zorvo.exe /a 5 \r\necho exit\r\n";
    BatHarness no;
    no.files.files[L"alarm.bat"] = "@echo my own alarm\r\n";
    no.generate(L"Звуковой сигнал", L"5", &no.Option1);
    ASSERT_EQ(no.messages.asked.size(), 1u);
    EXPECT_NE(no.messages.asked[0].find(L"alarm.bat"), std::wstring::npos) << "names the file";
    EXPECT_NE(no.messages.asked[0].find(L"уже есть файл"), std::wstring::npos) << "says why";
    EXPECT_NE(no.messages.asked[0].find(L"Заменить"), std::wstring::npos) << "asks to replace";
    EXPECT_EQ(no.files.files[L"alarm.bat"], "@echo my own alarm\r\n");
    EXPECT_FALSE(no.form.closed) << "the dialog stays, with its choices";
    EXPECT_EQ(no.Combo1.text(), L"5");
    EXPECT_EQ(no.Combo2.text(), L"Звуковой сигнал");

    BatHarness yes;
    yes.files.files[L"alarm.bat"] = "@echo my own alarm\r\n";
    yes.messages.answerYes = true;
    yes.generate(L"Звуковой сигнал", L"5", &yes.Option1);
    EXPECT_EQ(yes.files.files[L"alarm.bat"], ours);
    EXPECT_TRUE(yes.form.closed);

    BatHarness again; // the same bytes once more: ours already, no question
    again.files.files[L"alarm.bat"] = ours;
    again.generate(L"Звуковой сигнал", L"5", &again.Option1);
    EXPECT_TRUE(again.messages.asked.empty());
    EXPECT_TRUE(again.form.closed);

    BatHarness longer; // what we would write, and more: the user's
    longer.files.files[L"alarm.bat"] = ours + "pause\r\n";
    longer.generate(L"Звуковой сигнал", L"5", &longer.Option1);
    EXPECT_EQ(longer.messages.asked.size(), 1u);

    BatHarness locked; // cannot be read: ask rather than guess
    locked.files.files[L"alarm.bat"] = ours;
    locked.files.unreadable = true;
    locked.generate(L"Звуковой сигнал", L"5", &locked.Option1);
    EXPECT_EQ(locked.messages.asked.size(), 1u);
}

// Files that are nearly ours are still the user's: only the very bytes we would write are ours.
TEST(BatchFile, AFileCloseToOursIsStillTheUsers) {
    const std::string ours = "start C:\\Tools\\zorvo.exe /r 45 /hid\r\necho exit\r\n";
    std::string sameLength = ours;
    sameLength.replace(sameLength.find("45"), 2, "15");
    std::string lastByte = ours;
    lastByte.back() = ' ';
    const struct {
        std::string bytes;
        const char* what;
    } cases[] = {
        {sameLength, "the same length, other minutes"},
        {lastByte, "a difference in the last byte only"},
        {ours.substr(0, ours.size() - 1), "all but our last byte"},
        {ours.substr(0, ours.find("echo")), "our first line only"},
        {ours + "pause\r\n", "ours and more"},
        {"start C:\\Tools\\zorvo.exe /r 45 /hid\necho exit\n", "line feeds without returns"},
        {"start C:\\Tools\\zorvo.exe /r 45 /hid\r\necho exit", "no line end at the end"},
        {"", "an empty file"},
    };
    for (const auto& c : cases) {
        BatHarness h;
        h.files.files[L"reset.bat"] = c.bytes;
        h.generate(L"Перезагрузка", L"45", &h.Option3);
        EXPECT_EQ(h.messages.asked.size(), 1u) << c.what;
        EXPECT_EQ(h.files.files[L"reset.bat"], c.bytes) << c.what << ": replaced after a No";
        EXPECT_FALSE(h.form.closed) << c.what;
    }
    BatHarness exact; // and ours it is, when it holds exactly that
    exact.files.files[L"reset.bat"] = ours;
    exact.generate(L"Перезагрузка", L"45", &exact.Option3);
    EXPECT_TRUE(exact.messages.asked.empty());
    EXPECT_TRUE(exact.form.closed);
}

TEST(BatchDialog, MinutesRuleCancelAndHover) {
    BatHarness h;
    h.dialog.Form_Load();
    h.Combo1.text_ = L"0";
    h.dialog.Combo1_Change();
    EXPECT_EQ(h.Combo1.text(), L"1");
    EXPECT_EQ(h.messages.shown.size(), 1u);
    h.Combo1.text_ = L"";
    h.dialog.Combo1_Change();
    EXPECT_EQ(h.messages.shown.size(), 1u) << "clearing gives no warning";

    h.dialog.lblOK_MouseMove();
    EXPECT_EQ(h.lblOK.backColour(), 0x00404040u);
    EXPECT_TRUE(h.lblOK.border());
    EXPECT_FALSE(h.lblCancel.border());
    h.dialog.lblCancel_MouseMove();
    EXPECT_EQ(h.lblCancel.backColour(), 0x00404040u);
    EXPECT_TRUE(h.lblCancel.border());
    h.dialog.Form_MouseMove();
    EXPECT_EQ(h.lblCancel.backColour(), 0x00400040u);
    EXPECT_EQ(h.lblOK.backColour(), 0x00400040u);
    EXPECT_FALSE(h.lblOK.border() || h.lblCancel.border());

    h.dialog.lblCancel_Click();
    EXPECT_TRUE(h.form.closed);
    EXPECT_TRUE(h.files.files.empty());
}

TEST(BatchDialog, MinutesFromOneTo360GoIntoTheFile) {
    for (const auto& [typed, written, warnings] :
         {std::tuple{L"1", "1", 0u}, {L"360", "360", 0u}, {L"361", "1", 1u}, {L"0", "1", 1u}}) {
        BatHarness h;
        EXPECT_EQ(h.generate(L"Спящий режим", typed, &h.Option1),
                  std::string("start C:\\Tools\\zorvo.exe /s ") + written + " \r\necho exit\r\n");
        EXPECT_EQ(h.messages.shown.size(), warnings) << testing::PrintToString(typed);
    }
}

using BatCase = route_cases::RouteCase<BatHarness>;
namespace bat_id = frm_bat_id;

void hoverOk(BatHarness& h) {
    h.dialog.lblOK_MouseMove();
}

TEST(BatchDialog, EachEventReachesItsHandler) {
    const std::vector<BatCase> cases = {
        {kFormSource, Event::MouseMove, "form move clears the highlights",
         [](BatHarness& h) {
             h.dialog.lblOK_MouseMove();
             h.dialog.lblCancel_MouseMove();
         },
         [](BatHarness& h) { EXPECT_FALSE(h.lblOK.border() || h.lblCancel.border()); }},
        {bat_id::Combo1, Event::Change, "Combo1 change applies the minutes rule",
         [](BatHarness& h) { h.Combo1.text_ = L"361"; },
         [](BatHarness& h) {
             EXPECT_EQ(h.Combo1.text(), L"1");
             EXPECT_EQ(h.messages.shown.size(), 1u);
         }},
        {bat_id::lblOK, Event::Click, "lblOK writes and closes", nullptr,
         [](BatHarness& h) {
             EXPECT_EQ(h.files.files.count(L"shutdown.bat"), 1u);
             EXPECT_TRUE(h.form.closed);
         }},
        {bat_id::lblOK, Event::MouseMove, "lblOK lights up", nullptr,
         [](BatHarness& h) {
             EXPECT_TRUE(h.lblOK.border());
             EXPECT_FALSE(h.lblCancel.border());
         }},
        {bat_id::lblCancel, Event::Click, "lblCancel closes without writing", nullptr,
         [](BatHarness& h) {
             EXPECT_TRUE(h.files.files.empty());
             EXPECT_TRUE(h.form.closed);
         }},
        {bat_id::lblCancel, Event::MouseMove, "lblCancel lights up", hoverOk,
         [](BatHarness& h) {
             EXPECT_TRUE(h.lblCancel.border());
             EXPECT_TRUE(h.lblOK.border()) << "only the bare dialog clears the other";
         }},
    };
    route_cases::expectEachRouteReachesItsHandler<frmBat, BatHarness>(
        frmBatRoutes(), cases, [](BatHarness& h) -> frmBat& { return h.dialog; },
        [](BatHarness& h) { h.dialog.Form_Load(); });
}

} // namespace
} // namespace zorvo
