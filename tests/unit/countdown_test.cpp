#include <random>

#include <gtest/gtest.h>

#include "app/frm_main_layout.h"
#include "core/paced_ticker.h"
#include "core/routes.h"
#include "fakes.h"
#include "text/utf8.h"

namespace zorvo {
namespace {

using fakes::Journal;
using fakes::MainHarness;

const std::wstring kShutdownPrefix = L"Zorvo - до выключения осталось ";
const std::wstring kIdleCaption = std::wstring(L"Zorvo v.") + ZORVO_VERSION_WIDE;

struct Countdown : ::testing::Test {
    MainHarness h;
    void SetUp() override { h.start(); }
    void activate(const std::wstring& minutes) {
        h.typeMinutes(L"\b\b\b" + minutes);
        h.form_.lblActivate_Click();
    }
};

TEST_F(Countdown, OneMinuteCaptionSequence) {
    activate(L"1");
    EXPECT_EQ(h.form.caption(), kIdleCaption) << "activation leaves the caption alone";
    std::vector<std::wstring> captions;
    for (int i = 0; i < 60; ++i) {
        h.form_.Timer3_Timer();
        captions.push_back(h.form.caption());
        EXPECT_EQ(h.popup.label, h.form.caption());
    }
    EXPECT_EQ(captions[0], kShutdownPrefix + L"0 мин 59 сек");
    EXPECT_EQ(captions[29], kShutdownPrefix + L"0 мин 30 сек");
    EXPECT_EQ(captions[50], kShutdownPrefix + L"0 мин 09 сек");
    EXPECT_EQ(captions[52], kShutdownPrefix + L"0 мин 07 сек");
    EXPECT_EQ(captions[59], kShutdownPrefix + L"0 мин 00 сек");
    EXPECT_EQ(h.journal, (Journal{"awake", "ShutDown", "close"}));
}

TEST_F(Countdown, LongestDelayFiresAtTick21600) {
    activate(L"360");
    EXPECT_EQ(h.form_.RemainingMinutes, 359);
    EXPECT_EQ(h.form_.RemainingSeconds, 60);
    h.form_.Timer3_Timer();
    EXPECT_EQ(h.form.caption(), kShutdownPrefix + L"359 мин 59 сек");
    int ticks = 1;
    std::wstring previous;
    // A countdown that never ends must fail here, not hang the run.
    for (; h.Timer3.enabled() && ticks < 30000; ++ticks) {
        previous = h.form.caption();
        h.form_.Timer3_Timer();
        if (previous == kShutdownPrefix + L"5 мин 00 сек") {
            EXPECT_EQ(h.form.caption(), kShutdownPrefix + L"4 мин 59 сек");
        }
    }
    EXPECT_EQ(ticks, 21600);
    EXPECT_TRUE(h.form.closed);
}

TEST_F(Countdown, PopupOnlyForAWindowHiddenAtHalfAMinute) {
    activate(L"1");
    h.form_.Timer3_Timer();
    EXPECT_TRUE(h.popup.created);
    EXPECT_FALSE(h.popup.visible()) << "created hidden at the first tick";

    h.ticks(28); // 0:31
    h.form.setVisible(false);
    h.form_.Timer3_Timer(); // 0:30
    EXPECT_TRUE(h.popup.visible());
    EXPECT_EQ(h.popup.label, kShutdownPrefix + L"0 мин 30 сек");
    h.form_.Timer3_Timer();
    EXPECT_TRUE(h.popup.visible()) << "stays while the window is hidden";
    h.form.show();
    h.form_.Timer3_Timer();
    EXPECT_FALSE(h.popup.visible()) << "a shown window hides it at the next tick";
}

TEST_F(Countdown, PopupNotShownForLateHidingOrMinimisedWindow) {
    activate(L"1");
    h.form.setWindowState(WindowState::Minimized); // minimised still counts as visible
    h.ticks(40);
    h.form.setVisible(false); // hidden at 0:20: too late
    h.ticks(19);
    EXPECT_FALSE(h.popup.visible());
}

TEST_F(Countdown, TaskChangedMidRunChangesTextAndTask) {
    activate(L"3");
    h.ticks(5);
    h.form_.mnuAlarm_Click();
    EXPECT_EQ(h.lblEnter.caption(), L"Zorvo настроен на подачу звукового сигнала");
    EXPECT_EQ(h.tray.last().record.tipText(), L"Zorvo запущен: Подача сигнала");
    EXPECT_EQ(h.tray.last().record.icon, MainHarness::kAlarmIcon);
    h.form_.Timer3_Timer();
    EXPECT_EQ(h.form.caption(), L"Zorvo - подача звукового сигнала через 2 мин 54 сек");
    h.ticks(200);
    EXPECT_EQ(h.melody.tones.notes.size(), 16u);
    EXPECT_EQ(std::count(h.journal.begin(), h.journal.end(), "ShutDown"), 0);
}

TEST_F(Countdown, EachTaskInOrderWithLogOnAndOff) {
    struct Case {
        void (frmMain::*select)();
        const wchar_t* prefix;
        Journal withLog;
        const char* name;
    };
    const Case cases[] = {
        {&frmMain::mnuShutDown_Click,
         L"Zorvo - до выключения осталось ",
         {"ShutDown", "log", "close"},
         "shutdown"},
        {&frmMain::mnuReboot_Click,
         L"Zorvo - до перезагрузки осталось ",
         {"Reboot", "log", "close"},
         "reboot"},
        {&frmMain::mnuAlarm_Click,
         L"Zorvo - подача звукового сигнала через ",
         {"melody", "log", "close"},
         "alarm"},
        {&frmMain::mnuWait_Click,
         L"Zorvo - войдет в ждущий режим через ",
         {"log", "asleep-ok", "NTWait", "close"},
         "standby"},
        {&frmMain::mnuSleep_Click,
         L"Zorvo - войдет в спящий режим через ",
         {"log", "asleep-ok", "NTSleep", "close"},
         "hibernate"},
    };
    for (const Case& c : cases) {
        for (bool logging : {true, false}) {
            MainHarness run;
            run.start();
            if (logging) {
                run.form_.mnuLog_Click();
            }
            (run.form_.*c.select)();
            run.form_.lblActivate_Click();
            run.ticks(59);
            run.journal.clear();
            run.form_.Timer3_Timer();
            run.endMelody(); // the alarm's end comes later, through the window's queue
            Journal expected = c.withLog;
            if (!logging) {
                expected.erase(std::find(expected.begin(), expected.end(), "log"));
            }
            EXPECT_EQ(run.journal, expected) << c.name << " logging " << logging;
            EXPECT_EQ(run.form.caption(), std::wstring(c.prefix) + L"0 мин 00 сек");
            EXPECT_TRUE(run.messages.shown.empty());
            EXPECT_FALSE(run.Timer2.enabled() || run.Timer3.enabled() || run.Timer4.enabled());
            EXPECT_EQ(run.tray.last().operation, TrayOperation::Delete);
            if (logging) {
                const std::string entry = run.files.files.at(L"zorvo.log");
                EXPECT_EQ(entry.rfind("[07.12.2026   1:02:03]\r\n", 0), 0u);
                EXPECT_EQ(entry.substr(entry.size() - 28), "\r\n************************\r\n");
            } else {
                EXPECT_TRUE(run.files.files.empty());
            }
        }
    }
}

TEST_F(Countdown, LogEntryBytesInWindows1251) {
    h.form_.mnuLog_Click();
    EXPECT_TRUE(h.lblLog.visible());
    h.form_.mnuAlarm_Click();
    activate(L"1");
    h.ticks(60);
    h.endMelody();
    const std::string expected = std::string("[07.12.2026   1:02:03]\r\n") +
                                 "\xD1\xE8\xE3\xED\xE0\xEB \xEF\xEE\xE4\xE0\xED\r\n" +
                                 std::string(24, '*') + "\r\n";
    ASSERT_EQ(h.files.files.count(L"zorvo.log"), 1u);
    EXPECT_EQ(h.files.files.at(L"zorvo.log"), expected);
}

// The melody by what a listener hears, not note by note: its length, its two pauses, and a tune
// that rises to a long final note.
TEST_F(Countdown, AlarmMelodyLengthAndShape) {
    h.form_.mnuAlarm_Click();
    activate(L"1");
    h.ticks(60);
    const std::vector<Note>& notes = h.melody.tones.notes;
    ASSERT_EQ(notes.size(), 16u);
    // A pause is silence: written as 32767 Hz, which a sound card plays as a whistle.
    constexpr std::uint32_t kSilent = 0; // as the recording writes a silence
    std::uint32_t total = 0, paused = 0, highest = 0;
    std::vector<std::size_t> pauses;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        total += notes[i].durationMs;
        EXPECT_EQ(notes[i].durationMs % 250, 0u) << "note " << i << " off the quarter-second beat";
        if (notes[i].frequencyHz == kSilent) {
            pauses.push_back(i);
            paused += notes[i].durationMs;
            continue;
        }
        // The tones are harmonics of one 150 Hz fundamental, which is what makes them consonant.
        EXPECT_EQ(notes[i].frequencyHz % 150, 0u) << "note " << i;
        EXPECT_GE(notes[i].frequencyHz, 440u) << "note " << i;
        EXPECT_LE(notes[i].frequencyHz, 2000u) << "note " << i;
        highest = std::max(highest, notes[i].frequencyHz);
    }
    EXPECT_EQ(total, 6750u);
    EXPECT_EQ(pauses, (std::vector<std::size_t>{2, 5})) << "two pauses after the opening phrases";
    EXPECT_EQ(paused, 1000u);
    EXPECT_EQ(notes.front().frequencyHz, 900u);
    EXPECT_EQ(notes.back().frequencyHz, highest) << "it ends on its highest note";
    EXPECT_EQ(notes.back().durationMs, 1000u) << "held longest";
    // The run before the end trills between two tones, one per quarter second.
    for (std::size_t i = 6; i < 15; ++i) {
        EXPECT_EQ(notes[i].durationMs, 250u) << "note " << i;
        if (i >= 8) {
            EXPECT_NE(notes[i].frequencyHz, notes[i - 1].frequencyHz) << "note " << i;
            EXPECT_EQ(notes[i].frequencyHz, notes[i - 2].frequencyHz) << "note " << i;
        }
    }
}

/// Windows-1252 as far as a log entry needs it: ASCII only, no Cyrillic.
struct WesternEncoder final : text::Encoder {
    std::optional<std::string> encodeExact(std::wstring_view text) const override {
        std::string out;
        for (wchar_t ch : text) {
            if (ch > 0x7F) {
                return std::nullopt;
            }
            out.push_back(static_cast<char>(ch));
        }
        return out;
    }
};

struct LogEncoding : ::testing::Test {
    WesternEncoder western;
    const std::string alarmEntryUtf8 = "[07.12.2026   1:02:03]\r\n"
                                       "\xD0\xA1\xD0\xB8\xD0\xB3\xD0\xBD\xD0\xB0\xD0\xBB "
                                       "\xD0\xBF\xD0\xBE\xD0\xB4\xD0\xB0\xD0\xBD\r\n" +
                                       std::string(24, '*') + "\r\n";
    /// Runs a one-minute alarm with logging on; the log file as it is afterwards.
    std::string alarmOnto(MainHarness& run, const std::optional<std::string>& before) {
        if (before) {
            run.files.files[L"zorvo.log"] = *before;
        }
        run.start();
        run.form_.mnuLog_Click();
        run.form_.mnuAlarm_Click();
        run.form_.lblActivate_Click();
        run.ticks(60);
        run.endMelody();
        EXPECT_TRUE(run.form.closed) << "the task ends the program whatever the log";
        return run.files.files.count(L"zorvo.log") ? run.files.files[L"zorvo.log"] : "";
    }
};

TEST_F(LogEncoding, WesternSystemBeginsANewLogInUtf8AndGoesOnSo) {
    MainHarness first;
    first.locale.ansiOverride = &western;
    EXPECT_EQ(alarmOnto(first, std::nullopt), "\xEF\xBB\xBF" + alarmEntryUtf8);
    EXPECT_TRUE(first.messages.shown.empty());

    MainHarness empty; // an empty file is as good as none
    empty.locale.ansiOverride = &western;
    EXPECT_EQ(alarmOnto(empty, ""), "\xEF\xBB\xBF" + alarmEntryUtf8);

    MainHarness second;
    second.locale.ansiOverride = &western;
    const std::string log = "\xEF\xBB\xBF" + alarmEntryUtf8;
    EXPECT_EQ(alarmOnto(second, log), log + alarmEntryUtf8) << "one mark, at the start only";

    MainHarness russian; // a file begun in UTF-8 stays UTF-8 on a Russian system too
    EXPECT_EQ(alarmOnto(russian, log), log + alarmEntryUtf8);
}

TEST_F(LogEncoding, AnAnsiFileThatCannotHoldTheEntryIsLeftAloneAndTheUserTold) {
    for (bool unreadable : {false, true}) {
        MainHarness run;
        run.locale.ansiOverride = &western;
        run.files.unreadable = unreadable;
        EXPECT_EQ(alarmOnto(run, "[01.12.2026   21:00:00]\r\nAlarm\r\n"),
                  "[01.12.2026   21:00:00]\r\nAlarm\r\n");
        ASSERT_EQ(run.messages.shown.size(), 1u);
        EXPECT_NE(run.messages.shown[0].find(L"zorvo.log"), std::wstring::npos);
    }
    MainHarness russian; // an existing ANSI log on a Russian system: today's bytes
    const std::string entry1251 = "[07.12.2026   1:02:03]\r\n\xD1\xE8\xE3\xED\xE0\xEB "
                                  "\xEF\xEE\xE4\xE0\xED\r\n" +
                                  std::string(24, '*') + "\r\n";
    EXPECT_EQ(alarmOnto(russian, entry1251), entry1251 + entry1251);
}

TEST(Utf8, EveryPlaneAndLoneSurrogates) {
    EXPECT_EQ(text::toUtf8(L"A\u00E9\u0416\u20AC"), "A\xC3\xA9\xD0\x96\xE2\x82\xAC");
    EXPECT_EQ(text::toUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
    if constexpr (sizeof(wchar_t) == 2) {
        EXPECT_EQ(text::toUtf8(L"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    } else {
        EXPECT_EQ(text::toUtf8(std::wstring(1, static_cast<wchar_t>(0x1F600))), "\xF0\x9F\x98\x80");
    }
}

TEST_F(Countdown, WmiFailureIsReportedAndNothingIsLogged) {
    for (auto select : {&frmMain::mnuShutDown_Click, &frmMain::mnuReboot_Click}) {
        MainHarness run;
        run.start();
        run.form_.mnuLog_Click();
        (run.form_.*select)();
        run.actions.wmiResult = {false, L"метод не найден (0x80041055)"};
        run.form_.lblActivate_Click();
        run.ticks(60);
        ASSERT_EQ(run.messages.shown.size(), 1u);
        EXPECT_NE(run.messages.shown[0].find(L"0x80041055"), std::wstring::npos);
        EXPECT_TRUE(run.files.files.empty());
        ASSERT_FALSE(run.journal.empty());
        EXPECT_EQ(run.journal.back(), "close") << "ends after the box";
    }
}

TEST_F(Countdown, LibraryFailureAndLogFailureAreReportedAfterTheCall) {
    MainHarness run;
    run.start();
    run.form_.mnuLog_Click();
    run.form_.mnuWait_Click();
    run.files.failWrites = true;
    run.power.result = 0;
    run.form_.lblActivate_Click();
    run.ticks(60);
    EXPECT_EQ(run.journal,
              (Journal{"awake", "log", "asleep-ok", "NTWait", "message", "message", "close"}));
    ASSERT_EQ(run.messages.shown.size(), 2u);
    EXPECT_NE(run.messages.shown[0].find(L"zorvo.log"), std::wstring::npos);
    EXPECT_NE(run.messages.shown[1].find(L"ждущий режим"), std::wstring::npos);
}

// Each task names what failed: the user must know which of them left the computer as it was.
TEST_F(Countdown, EachTaskReportsItsOwnFailure) {
    struct Case {
        void (frmMain::*select)();
        const wchar_t* said;
        std::vector<const wchar_t*> notSaid;
    };
    const Case cases[] = {
        {&frmMain::mnuShutDown_Click, L"выключить", {L"перезагруз", L"режим"}},
        {&frmMain::mnuReboot_Click, L"перезагрузить", {L"выключить", L"режим"}},
        {&frmMain::mnuWait_Click, L"ждущий режим", {L"спящий", L"выключить", L"перезагруз"}},
        {&frmMain::mnuSleep_Click, L"спящий режим", {L"ждущий", L"выключить", L"перезагруз"}},
    };
    for (const Case& c : cases) {
        MainHarness run;
        run.start();
        (run.form_.*c.select)();
        run.actions.wmiResult = {false, L"отказ"};
        run.power.result = 0;
        run.form_.lblActivate_Click();
        run.ticks(60);
        ASSERT_EQ(run.messages.shown.size(), 1u) << testing::PrintToString(c.said);
        const std::wstring& text = run.messages.shown[0];
        EXPECT_EQ(text.rfind(L"Не удалось ", 0), 0u) << testing::PrintToString(text);
        EXPECT_NE(text.find(c.said), std::wstring::npos) << testing::PrintToString(text);
        for (const wchar_t* other : c.notSaid) {
            EXPECT_EQ(text.find(other), std::wstring::npos) << testing::PrintToString(text);
        }
        EXPECT_TRUE(run.form.closed);
    }
}

TEST_F(Countdown, LogFailureNeverStopsTheTask) {
    h.form_.mnuLog_Click();
    h.files.failWrites = true;
    activate(L"1");
    h.ticks(60);
    EXPECT_EQ(h.journal, (Journal{"awake", "ShutDown", "log", "message", "close"}));
}

TEST_F(Countdown, NoTickRunsWhileAFailureIsOnScreen) {
    h.actions.wmiResult = {false, L"x"};
    h.messages.whileOpen = [this] { h.ticks(5); };
    activate(L"1");
    h.ticks(60);
    EXPECT_EQ(h.form.caption(), kShutdownPrefix + L"0 мин 00 сек");
}

TEST_F(Countdown, ResetReturnsToIdleAndKeepAwakeFollowsTheRun) {
    activate(L"2");
    EXPECT_TRUE(h.actions.awake);
    EXPECT_FALSE(h.Combo1.enabled() || h.lblActivate.enabled() || h.mnuActive.enabled());
    EXPECT_TRUE(h.lblReset.visible() && h.mnuReset.enabled() && h.Timer4.enabled());
    h.ticks(10);
    h.form_.lblReset_Click();
    EXPECT_FALSE(h.actions.awake);
    EXPECT_FALSE(h.Timer3.enabled());
    EXPECT_TRUE(h.Timer4.enabled()) << "reset leaves the hot key poll on";
    EXPECT_EQ(h.form.caption(), kIdleCaption);
    EXPECT_TRUE(h.Combo1.enabled() && h.lblActivate.enabled() && h.mnuActive.enabled());
    EXPECT_FALSE(h.lblReset.visible() || h.mnuReset.enabled());
    EXPECT_EQ(h.tray.last().record.tipText(), L"Программа-Zorvo");
    EXPECT_EQ(h.tray.last().record.icon, MainHarness::kFormIcon);
    EXPECT_EQ(h.Combo1.text(), L"2");

    h.form_.mnuActive_Click(); // the full time again
    h.form_.Timer3_Timer();
    EXPECT_EQ(h.form.caption(), kShutdownPrefix + L"1 мин 59 сек");
}

TEST(TaskSelection, TipsAndPicturesFollowTheTask) {
    MainHarness h;
    h.start();
    h.form_.mnuSleep_Click();
    EXPECT_EQ(h.lblEnter.caption(), L"Zorvo настроен на спящий режим");
    EXPECT_EQ(h.tray.calls.size(), 1u) << "no icon change while idle";
    for (auto* other : {&h.mnuShutDown, &h.mnuAlarm, &h.mnuWait, &h.mnuReboot}) {
        EXPECT_FALSE(other->checked());
    }

    struct Case {
        void (frmMain::*select)();
        std::wstring activationTip;
        IconHandle icon;
    };
    const Case cases[] = {
        {&frmMain::mnuShutDown_Click, L"Zorvo запущен: Выключение", MainHarness::kShutDownIcon},
        {&frmMain::mnuAlarm_Click, L"Zorvo запущен: Подача звукового сигнала",
         MainHarness::kAlarmIcon},
        {&frmMain::mnuWait_Click, L"Zorvo запущен: Ждущий режим", MainHarness::kWaitIcon},
        {&frmMain::mnuReboot_Click, L"Zorvo запущен: Перезагрузка", MainHarness::kRebootIcon},
        {&frmMain::mnuSleep_Click, L"Zorvo запущен: Спящий режим", MainHarness::kWaitIcon},
    };
    for (const Case& c : cases) {
        (h.form_.*c.select)();
        const std::size_t before = h.tray.calls.size();
        h.form_.lblActivate_Click();
        ASSERT_EQ(h.tray.calls.size(), before + 1) << "exactly one update";
        EXPECT_EQ(h.tray.last().operation, TrayOperation::Modify);
        EXPECT_EQ(h.tray.last().record.tipText(), c.activationTip);
        EXPECT_EQ(h.tray.last().record.icon, c.icon);
        (h.form_.*c.select)(); // the same task again while running rewrites the tip
        EXPECT_EQ(h.tray.calls.size(), before + 2);
        h.form_.mnuReset_Click();
    }
}

TEST(TaskSelection, HoverColoursComeBackOnlyOverTheFormOrFromTheIcon) {
    MainHarness h;
    h.start();
    h.form_.lblActivate_MouseMove();
    h.form_.lblReset_MouseMove();
    EXPECT_EQ(h.lblActivate.foreColour(), 0x0000FF00u);
    EXPECT_EQ(h.lblReset.foreColour(), 0x0000FF00u);
    h.form_.TrayIcon_Message(0x201);
    EXPECT_EQ(h.lblActivate.foreColour(), 0x00FFFFC0u);
    h.form_.lblActivate_MouseMove();
    h.form_.Form_MouseMove();
    EXPECT_EQ(h.lblActivate.foreColour(), 0x00FFFFC0u);
}

/// The system's side of the countdown's timer, on a clock the test moves: a periodic timer whose
/// messages come `lateness` after they are due, each period counted from the late message (so
/// lateness adds up unless the program sets the timer again), and the program's real pacing and
/// catch-up on top of it, sending each tick through frmMain's table of routes.
struct PacedCountdown {
    MainHarness& h;
    PacedTicker ticker{findTimer(frmMainLayout(), L"Timer3")->interval};
    std::int64_t now = 5'000;
    std::int64_t armedMs = 0;
    std::int64_t dueAt = 0;
    int arms = 0;
    int handlerCalls = 0;
    std::int64_t performedAt = -1;

    explicit PacedCountdown(MainHarness& harness) : h(harness) {
        h.form.onClose = [this] {
            performedAt = now;
            h.form_.Form_Unload();
        };
    }
    void arm(std::int64_t ms) {
        armedMs = ms;
        dueAt = now + ms;
        ++arms;
    }
    /// The user activates; the front end starts pacing the enabled timer.
    void activate() {
        dispatch<frmMain>(frmMainRoutes(), h.form_, frm_main_id::lblActivate, Event::Click);
        ticker.start(now);
        arm(ticker.msUntilNext(now));
    }
    /// The next timer message, `lateMs` after it was due; false once the timer has stopped.
    bool wakeUp(std::int64_t lateMs) {
        now = dueAt + lateMs;
        const PacedTicker::Wake wake = ticker.wake(
            [this] { return now; },
            [this] {
                ++handlerCalls;
                dispatch<frmMain>(frmMainRoutes(), h.form_, frm_main_id::Timer3, Event::Timer);
                return h.Timer3.enabled();
            },
            armedMs);
        if (!wake.running) {
            return false;
        }
        if (wake.rearmMs) {
            arm(*wake.rearmMs);
        } else {
            dueAt = now + armedMs;
        }
        return true;
    }
};

// However late the timer's messages come, the task is performed the entered minutes after
// activation, not later by the sum of the delays; messages more than a tick late are caught up.
TEST(CountdownPacing, LateTimerMessagesDoNotDrift) {
    for (const int maxLateMs : {0, 16, 900, 2500}) {
        MainHarness h;
        h.start();
        h.typeMinutes(L"\b360");
        PacedCountdown run(h);
        run.activate();
        const std::int64_t activation = run.now;
        std::mt19937 random(42);
        std::uniform_int_distribution<int> late(0, maxLateMs);
        for (int wakeUps = 0; wakeUps < 30000 && run.wakeUp(maxLateMs == 16 ? 16 : late(random));
             ++wakeUps) {
        }
        EXPECT_EQ(run.handlerCalls, 21600) << maxLateMs;
        EXPECT_TRUE(h.form.closed) << maxLateMs;
        EXPECT_GE(run.performedAt - activation, 21'600'000) << maxLateMs;
        // A timer left running with its period may add the lateness it tolerates, 25 ms.
        EXPECT_LE(run.performedAt - activation, 21'600'000 + maxLateMs + 25) << maxLateMs;
        if (maxLateMs == 0) {
            EXPECT_EQ(run.arms, 1) << "a timer that comes on time is never set again";
        }
    }
}

// A computer that stood still past the end (a long stall of the message queue) catches up at
// once, and the tick that performs the task is the last: nothing counts on after it.
TEST(CountdownPacing, CatchingUpStopsAtTheTask) {
    MainHarness h;
    h.start();
    PacedCountdown run(h);
    run.activate();
    EXPECT_TRUE(run.wakeUp(0));
    EXPECT_FALSE(run.wakeUp(75'000)) << "the task ended the countdown";
    EXPECT_EQ(run.handlerCalls, 60);
    EXPECT_EQ(h.form.caption(), kShutdownPrefix + L"0 мин 00 сек");
    EXPECT_EQ(std::count(h.journal.begin(), h.journal.end(), "ShutDown"), 1);
}

// A timer message that comes before its tick is due runs nothing and waits for the moment,
// instead of a whole period more.
TEST(CountdownPacing, AnEarlyMessageWaitsForItsTick) {
    MainHarness h;
    h.start();
    PacedCountdown run(h);
    run.activate();
    const std::int64_t activation = run.now;
    EXPECT_TRUE(run.wakeUp(-5));
    EXPECT_EQ(run.handlerCalls, 0);
    EXPECT_TRUE(run.wakeUp(0));
    EXPECT_EQ(run.handlerCalls, 1);
    EXPECT_EQ(run.now - activation, 1000);
}

// Setting the timer again is a call to the system every second; a timer that runs with the period
// and woke at most 25 ms late lands about as well, and is left alone.
TEST(CountdownPacing, OnlyATimerThatWokeTooLateOrEarlyIsSetAgain) {
    EXPECT_EQ(rearmAfterWake(1000, 1000, 0, 1000), std::nullopt);
    EXPECT_EQ(rearmAfterWake(1000, 975, 25, 1000), std::nullopt);
    EXPECT_EQ(rearmAfterWake(1000, 974, 26, 1000), 974) << "later: to the exact moment";
    EXPECT_EQ(rearmAfterWake(1000, 400, -1, 1000), 400) << "no tick was due";
    EXPECT_EQ(rearmAfterWake(1000, 990, 10, 974), 1000) << "on time again: the period";
    EXPECT_EQ(rearmAfterWake(1000, 1000, 0, 0), 1000) << "a timer that does not run";
}

// A once-a-second countdown wakes the program once a second: each wait ends at the next tick's
// moment, and a late wake-up shortens the next wait instead of adding to it.
TEST(CountdownPacing, WaitsEndAtEachTick) {
    PacedTicker ticker(1000);
    ticker.start(10'000);
    EXPECT_EQ(ticker.takeDue(9'000), 0) << "a clock before the start owes nothing";
    EXPECT_EQ(ticker.msUntilNext(10'000), 1000);
    EXPECT_EQ(ticker.msUntilNext(10'250), 750);
    EXPECT_EQ(ticker.takeDue(10'999), 0);
    EXPECT_EQ(ticker.takeDue(11'000), 1);
    EXPECT_EQ(ticker.msUntilNext(11'000), 1000);
    EXPECT_EQ(ticker.takeDue(12'300), 1) << "300 ms late";
    EXPECT_EQ(ticker.msUntilNext(12'300), 700);
    EXPECT_EQ(ticker.takeDue(15'100), 3) << "missed ticks are caught up at once";
    EXPECT_EQ(ticker.msUntilNext(15'100), 900);
    EXPECT_EQ(ticker.takeDue(15'100), 0) << "and taken only once";
    EXPECT_EQ(ticker.msUntilNext(16'000), 1) << "a tick due now waits as little as possible";
    EXPECT_EQ(ticker.msUntilNext(17'000), 1) << "and so does an overdue one";

    // Ten minutes of waking exactly when asked: 600 wake-ups, each after a full second.
    ticker.start(0);
    std::int64_t now = 0;
    int wakeUps = 0;
    std::int64_t taken = 0;
    while (taken < 600 && wakeUps < 100'000) {
        const std::int64_t wait = ticker.msUntilNext(now);
        ASSERT_EQ(wait, 1000) << "after " << wakeUps << " wake-ups";
        now += wait;
        ++wakeUps;
        taken += ticker.takeDue(now);
    }
    EXPECT_EQ(wakeUps, 600);
}

} // namespace
} // namespace zorvo
