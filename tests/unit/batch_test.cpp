#include <gtest/gtest.h>

#include "batch/batch_file.h"
#include "batch/frm_bat.h"
#include "batch/frm_bat_layout.h"
#include "fakes.h"

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
    FakeLabel lblOK, lblCancel;
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
        fakes::fromDesign(lblOK, control(frmBatLayout(), L"lblOK"));
        fakes::fromDesign(lblCancel, control(frmBatLayout(), L"lblCancel"));
        for (const Task& a : kTasks) {
            Combo2.addItem(a.batchItem);
        }
    }
    std::string generate(const wchar_t* action, const wchar_t* minutes, FakeOption* mode) {
        dialog.Form_Load();
        Combo2.setListIndex(
            static_cast<int>(std::ranges::find(Combo2.items_, action) - Combo2.items_.begin()));
        Combo1.text_ = minutes;
        send(L"Combo1", Event::Change);
        for (FakeOption* o : {&Option1, &Option2, &Option3}) {
            o->value_ = o == mode;
        }
        send(L"lblOK", Event::Click);
        return files.files[findBatchAction(action)->batchFile];
    }
    void send(std::wstring_view name, Event event) {
        fakes::send(frmBatLayout(), frmBatRoutes(), dialog, name, event);
    }
};

TEST(BatchFile, DefaultsAndEachActionAndMode) {
    BatHarness h;
    h.dialog.Form_Load();
    EXPECT_EQ(h.Combo1.text(), L"1");
    EXPECT_EQ(h.Combo1.itemCount(), 360);
    EXPECT_EQ(h.Combo2.text(), L"Выключение");
    EXPECT_EQ(h.dialog.ProgramFolder, L"C:\\Tools\\");
    h.send(L"lblOK", Event::Click);
    EXPECT_EQ(h.files.files.at(L"shutdown.bat"),
              "start C:\\Tools\\zorvo.exe /v 1 \r\necho exit\r\n");
    EXPECT_TRUE(h.form.closed);

    // Every action, every window mode, the minutes at and past both ends (a warning, then 1).
    const std::tuple<const wchar_t*, const wchar_t*, FakeOption BatHarness::*, const char*,
                     std::size_t>
        cases[] = {{L"Ждущий режим", L"45", &BatHarness::Option3, "/w 45 /hid", 0},
                   {L"Звуковой сигнал", L"1", &BatHarness::Option3, "/a 1 /hid", 0},
                   {L"Перезагрузка", L"360", &BatHarness::Option2, "/r 360 /min", 0},
                   {L"Спящий режим", L"361", &BatHarness::Option1, "/s 1 ", 1},
                   {L"Выключение", L"0", &BatHarness::Option3, "/v 1 /hid", 1}};
    for (const auto& [action, minutes, mode, line, warnings] : cases) {
        BatHarness run;
        EXPECT_EQ(run.generate(action, minutes, &(run.*mode)),
                  std::string("start C:\\Tools\\zorvo.exe ") + line + "\r\necho exit\r\n");
        EXPECT_EQ(run.messages.shown.size(), warnings) << testing::PrintToString(minutes);
    }
}

// The program's path as cmd.exe must read it: quoted where it holds a blank or "&", "%" doubled,
// in the OEM code page; where that cannot hold it, or cmd would cut it (over 259 characters, or a
// "!"), its short form; and where there is none, a message instead of a file that would not run.
TEST(BatchFile, PathsCmdExeMustReadAsWritten) {
    struct Case {
        std::wstring folder, exe = L"zorvo";
        std::optional<std::wstring> shortForm = std::nullopt;
        std::string line = {}; ///< empty: nothing written; the message names `said`
        const wchar_t* said = nullptr;
    };
    const std::wstring deep = L"C:\\" + std::wstring(241, L'd') + L"\\Zorvo"; // 260 in all
    const std::wstring justFits = L"C:\\" + std::wstring(246, L'e');          // 259 in all
    const Case cases[] = {
        {L"D:\\", L"zorvo", {}, "start D:\\zorvo.exe /v 1 "},
        {L"C:\\T", L"timer", {}, "start C:\\T\\timer.exe /v 1 "}, // one letter deep
        {L"C:\\My Tools", L"zorvo", {}, "start \"\" \"C:\\My Tools\\zorvo.exe\" /v 1 "},
        {L"C:\\A&B", L"zorvo", {}, "start \"\" \"C:\\A&B\\zorvo.exe\" /v 1 "},
        {L"C:\\100%", L"zorvo", {}, "start C:\\100%%\\zorvo.exe /v 1 "},
        {L"C:\\50% off", L"z", {}, "start \"\" \"C:\\50%% off\\z.exe\" /v 1 "},
        // "Программы" in code page 866.
        {L"C:\\Программы", L"zorvo", std::nullopt,
         "start C:\\\x8F\xE0\xAE\xA3\xE0\xA0\xAC\xAC\xEB\\zorvo.exe /v 1 "},
        {L"C:\\Ωmega", L"zorvo", L"C:\\MEGA~1\\zorvo.exe",
         "start \"\" \"C:\\MEGA~1\\zorvo.exe\" /v 1 "},
        {L"C:\\Ωmega", L"zorvo", {}, "", L"C:\\Ωmega\\zorvo.exe"},
        {L"C:\\Wow!", L"zorvo", L"C:\\WOW~1\\zorvo.exe",
         "start \"\" \"C:\\WOW~1\\zorvo.exe\" /v 1 "},
        {L"C:\\Wow!", L"zorvo", {}, "start \"\" \"C:\\Wow!\\zorvo.exe\" /v 1 "},
        {L"C:\\Wow!", L"zorvo", L"C:\\WOW!~1\\zorvo.exe",
         "start \"\" \"C:\\Wow!\\zorvo.exe\" /v 1 "},
        {deep, L"zorvo", L"C:\\DDDDDD~1\\Zorvo\\zorvo.exe",
         "start \"\" \"C:\\DDDDDD~1\\Zorvo\\zorvo.exe\" /v 1 "},
        {deep, L"zorvo", {}, "", L"259"},
        {justFits, L"zorvo", {}, "start C:\\" + std::string(246, 'e') + "\\zorvo.exe /v 1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.folder.substr(0, 12)) +
                     testing::PrintToString(c.shortForm.value_or(L"-")));
        BatHarness h;
        h.process.folder = c.folder;
        h.process.exe = c.exe;
        h.shortForm = c.shortForm;
        h.dialog.Form_Load();
        h.send(L"lblOK", Event::Click);
        if (c.line.empty()) {
            EXPECT_TRUE(h.files.files.empty());
            ASSERT_EQ(h.messages.shown.size(), 1u);
            EXPECT_NE(h.messages.shown[0].find(c.said), std::wstring::npos);
            EXPECT_FALSE(h.form.closed) << "the dialog stays open";
        } else {
            EXPECT_EQ(h.files.files[L"shutdown.bat"], c.line + "\r\necho exit\r\n");
        }
    }
}

// A file of the user's is replaced only after a Yes; only the very bytes we would write are ours
// (no question), and a file that cannot be read is asked about rather than guessed. A write that
// fails is told and leaves the old file and the dialog with its choices.
TEST(BatchFile, AUsersOwnFileIsReplacedOnlyAfterAYes) {
    const std::string ours = "start C:\\Tools\\zorvo.exe /r 45 /hid\r\necho exit\r\n";
    const struct {
        std::string bytes;
        const char* what;
        bool asked = true, yes = false, unreadable = false, failing = false;
    } cases[] = {
        {"@echo my own alarm\r\n", "the user's own"},
        {"@echo my own alarm\r\n", "the user's own, and a Yes", true, true},
        {"old", "a Yes, and the write fails", true, true, false, true},
        {ours, "ours already"},
        {ours, "ours, unreadable", true, false, true},
        {ours.substr(0, ours.size() - 1) + ' ', "a difference in the last byte only"},
        {ours.substr(0, ours.size() - 1), "all but our last byte"},
        {ours + "pause\r\n", "ours and more"},
        {"start C:\\Tools\\zorvo.exe /r 45 /hid\necho exit\n", "line feeds without returns"},
        {"", "an empty file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const bool asked = c.asked && (c.bytes != ours || c.unreadable);
        BatHarness h;
        h.files.files[L"reset.bat"] = c.bytes;
        h.files.unreadable = c.unreadable;
        h.files.failWrites = c.failing;
        h.messages.answerYes = c.yes;
        h.generate(L"Перезагрузка", L"45", &h.Option3);
        ASSERT_EQ(h.messages.asked.size(), asked ? 1u : 0u);
        const bool written = (!asked || c.yes) && !c.failing;
        EXPECT_EQ(h.form.closed, written);
        EXPECT_EQ(h.messages.shown.size(), c.failing ? 1u : 0u);
        EXPECT_EQ(h.files.files[L"reset.bat"], written ? ours : c.bytes);
        if (asked) {
            const std::wstring& question = h.messages.asked[0];
            EXPECT_NE(question.find(L"reset.bat"), std::wstring::npos) << "names the file";
            EXPECT_NE(question.find(L"уже есть файл"), std::wstring::npos) << "says why";
            EXPECT_NE(question.find(L"Заменить"), std::wstring::npos) << "asks to replace";
        }
        if (!h.form.closed) { // the dialog stays, with its choices
            EXPECT_EQ(h.Combo1.text(), L"45");
            EXPECT_EQ(h.Combo2.text(), L"Перезагрузка");
        }
    }
}

TEST(BatchDialog, MinutesRuleCancelAndHover) {
    BatHarness h;
    h.dialog.Form_Load();
    h.Combo1.text_ = L"";
    h.send(L"Combo1", Event::Change);
    EXPECT_TRUE(h.messages.shown.empty()) << "clearing gives no warning";

    h.send(L"lblOK", Event::MouseMove);
    EXPECT_EQ(h.lblOK.backColour(), 0x00404040u);
    EXPECT_TRUE(h.lblOK.border());
    EXPECT_FALSE(h.lblCancel.border());
    h.send(L"lblCancel", Event::MouseMove);
    EXPECT_EQ(h.lblCancel.backColour(), 0x00404040u);
    EXPECT_TRUE(h.lblCancel.border());
    EXPECT_TRUE(h.lblOK.border()) << "only the bare dialog clears the other";
    h.send(L"", Event::MouseMove);
    EXPECT_EQ(h.lblCancel.backColour(), 0x00400040u);
    EXPECT_EQ(h.lblOK.backColour(), 0x00400040u);
    EXPECT_FALSE(h.lblOK.border() || h.lblCancel.border());

    h.send(L"lblCancel", Event::Click);
    EXPECT_TRUE(h.form.closed);
    EXPECT_TRUE(h.files.files.empty());
}

} // namespace
} // namespace zorvo
