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

TEST(Countdown, PopupOnlyForAWindowHiddenAtHalfAMinute) {
    fakes::StartedMain h;
    h.click(L"lblActivate");
    h.send(L"Timer3", Event::Timer);
    EXPECT_FALSE(h.popup.visible()) << "hidden at the first tick";

    h.ticks(28); // 0:31
    h.form.setVisible(false);
    h.send(L"Timer3", Event::Timer); // 0:30
    EXPECT_TRUE(h.popup.visible());
    EXPECT_EQ(h.popup.label, kShutdownPrefix + L"0 мин 30 сек");
    h.send(L"Timer3", Event::Timer);
    EXPECT_TRUE(h.popup.visible()) << "stays while the window is hidden";
    h.form.show();
    h.send(L"Timer3", Event::Timer);
    EXPECT_FALSE(h.popup.visible()) << "a shown window hides it at the next tick";

    fakes::StartedMain late;
    late.click(L"lblActivate");
    late.form.setWindowState(WindowState::Minimized); // minimised still counts as visible
    late.ticks(40);
    late.form.setVisible(false); // hidden at 0:20: too late
    late.ticks(19);
    EXPECT_FALSE(late.popup.visible());
}

/// What the user sees and what happens for each task, from its menu item to its end.
struct TaskCase {
    const wchar_t *menu, *status, *tip;
    TaskPictures::Holder picture;
    const wchar_t* prefix;
    Journal performed;      ///< the last tick with logging on
    const wchar_t* failure; ///< the box when the system refuses it, before the system's reason
};
using enum TaskPictures::Holder;
const TaskCase kTaskCases[] = {
    {L"mnuShutDown", L"Zorvo настроен на выключение", L"Zorvo запущен: Выключение", imgShutDown,
     L"Zorvo - до выключения осталось ", Journal{"ShutDown", "asleep-ok", "log", "close"},
     L"Не удалось выключить компьютер.\r\nслужба WMI (0x80041003)"},
    {L"mnuReboot", L"Zorvo настроен на перезагрузку", L"Zorvo запущен: Перезагрузка", imgReboot,
     L"Zorvo - до перезагрузки осталось ", Journal{"Reboot", "asleep-ok", "log", "close"},
     L"Не удалось перезагрузить компьютер.\r\nслужба WMI (0x80041003)"},
    {L"mnuAlarm", L"Zorvo настроен на подачу звукового сигнала",
     L"Zorvo запущен: Подача звукового сигнала", imgAlarm,
     L"Zorvo - подача звукового сигнала через ", Journal{"melody", "log", "close"}, nullptr},
    {L"mnuWait", L"Zorvo настроен на ждущий режим", L"Zorvo запущен: Ждущий режим", imgWait,
     L"Zorvo - войдет в ждущий режим через ", Journal{"log", "asleep-ok", "NTWait", "close"},
     L"Не удалось перевести компьютер в ждущий режим: система отказала в переходе."},
    {L"mnuSleep", L"Zorvo настроен на спящий режим", L"Zorvo запущен: Спящий режим", imgWait,
     L"Zorvo - войдет в спящий режим через ", Journal{"log", "asleep-ok", "NTSleep", "close"},
     L"Не удалось перевести компьютер в спящий режим: система отказала в переходе."},
};

TEST(Tasks, EachTaskFromItsMenuItemToItsEndWithLogOnAndOffAndOnFailure) {
    for (const TaskCase& c : kTaskCases) {
        for (const int run : {0, 1, 2}) { // logging on, off, and on with the task failing
            SCOPED_TRACE(testing::PrintToString(std::wstring(c.menu)) + " run " +
                         std::to_string(run));
            fakes::StartedMain h;
            h.click(c.menu);
            EXPECT_EQ(h.lblEnter.caption(), c.status);
            EXPECT_EQ(h.tray.calls.size(), 1u) << "no icon change while idle";
            if (run != 1) {
                h.click(L"mnuLog");
                EXPECT_TRUE(h.lblLog.visible());
            }
            if (run == 2) {
                h.actions.wmiResult = {false, L"служба WMI (0x80041003)", 0x80041003U};
                h.power.result = 0;
                h.power.error = 1314;
                h.errorTexts.texts = {{1314, L"Нет прав.\r\n"}, {0x80041003U, L"Отказано.\r\n"}};
            }
            h.click(L"lblActivate");
            ASSERT_EQ(h.tray.calls.size(), 2u) << "exactly one update";
            EXPECT_EQ(h.tray.last().operation, TrayOperation::Modify);
            EXPECT_EQ(h.tray.last().record.tipText(), c.tip);
            EXPECT_EQ(h.tray.last().record.icon, MainHarness::pictureOf(c.picture));
            h.click(c.menu); // the same task again while running rewrites the tip
            EXPECT_EQ(h.tray.calls.size(), 3u);
            h.ticks(51);
            EXPECT_EQ(h.form.caption(), std::wstring(c.prefix) + L"0 мин 09 сек");
            h.ticks(8);
            h.journal.clear();
            h.send(L"Timer3", Event::Timer);
            h.endMelody(); // the alarm's end comes later, through the window's queue
            if (!h.form.closed && run != 2) {
                h.form_.EndSession(true); // and a shutdown's with the end of the session
            }
            EXPECT_EQ(h.form.caption(), std::wstring(c.prefix) + L"0 мин 00 сек");
            EXPECT_TRUE(h.form.closed);
            if (run == 2) {
                if (c.failure == nullptr) {
                    continue;
                }
                // The box adds the system's words for its code. A refusal of WMI leaves no log
                // entry; the system's sleep calls are logged before they are made.
                const bool wmi = c.performed.front() != "log";
                EXPECT_EQ(h.messages.shown,
                          std::vector<std::wstring>{
                              c.failure +
                              std::wstring(wmi ? L"\r\nПричина: Отказано. (код 0x80041003)"
                                               : L"\r\nПричина: Нет прав. (код 0x00000522)")});
                EXPECT_EQ(h.files.files.empty(), wmi);
                EXPECT_EQ(h.journal.back(), "close") << "ends after the box";
                continue;
            }
            Journal expected = c.performed;
            if (run == 1) {
                expected.erase(std::find(expected.begin(), expected.end(), "log"));
            }
            EXPECT_EQ(h.journal, expected);
            EXPECT_TRUE(h.messages.shown.empty());
            EXPECT_FALSE(h.Timer2.enabled() || h.Timer3.enabled() || h.Timer4.enabled());
            EXPECT_EQ(h.tray.last().operation, TrayOperation::Delete);
            if (run == 0) {
                const std::string entry = h.files.files.at(L"zorvo.log");
                EXPECT_EQ(entry.rfind("[07.12.2026   1:02:03]\r\n", 0), 0u);
                EXPECT_EQ(entry.substr(entry.size() - 28), "\r\n************************\r\n");
            } else {
                EXPECT_TRUE(h.files.files.empty());
            }
        }
    }
}

// A shutdown Windows accepted is logged only when the session really ends; called off, or never
// begun within two minutes, it is told in a box and not logged. Events: q WM_QUERYENDSESSION,
// T and F WM_ENDSESSION with TRUE and FALSE, w the end of the two minutes.
TEST(ShutdownWatch, EveryOrderOfTheSessionsMessages) {
    struct Case {
        const wchar_t* task;
        bool atZero; // else the messages come while the countdown runs
        const char* events;
        const wchar_t *logged, *box;
    };
    const wchar_t* kShutDown = L"Выключение компьютера";
    const wchar_t* kCalledOff = L"Компьютер не перезагружен: Windows отменила перезагрузку.\r\n";
    const wchar_t* kNotBegun = L"Компьютер не выключен: прошло две минуты, а Windows так и не "
                               L"начала выключение.\r\n";
    const Case cases[] = {
        {L"mnuShutDown", true, "", nullptr, nullptr},
        {L"mnuShutDown", true, "qT", kShutDown, nullptr},
        {L"mnuReboot", true, "T", L"Перезагрузка компьютера", nullptr},
        {L"mnuShutDown", true, "qwT", kShutDown, nullptr},
        {L"mnuReboot", true, "qF", nullptr, kCalledOff},
        {L"mnuReboot", true, "qwFT", nullptr, kCalledOff},
        {L"mnuShutDown", true, "w", nullptr, kNotBegun},
        {L"mnuShutDown", true, "FwT", nullptr, kNotBegun},
        {L"mnuShutDown", false, "qF", nullptr, nullptr},
        {L"mnuShutDown", false, "qFwqT", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "events \"" << c.events << "\" at zero " << c.atZero);
        fakes::StartedMain run;
        run.click(L"mnuLog");
        run.click(c.task);
        if (std::wstring_view(c.task) == L"mnuReboot") {
            run.click(L"mnuTray"); // hidden: the popup shows the last half minute
        }
        run.click(L"lblActivate");
        run.ticks(c.atZero ? 60 : 10);
        if (c.atZero) { // accepted: out of sight, icon gone, the computer free, the wait begun
            EXPECT_FALSE(run.form.visible() || run.popup.visible() || run.form.closed ||
                         run.actions.awake);
            EXPECT_TRUE(run.shutdownWait.enabled());
            run.form_.TaskbarCreated(); // a new shell does not bring the icon back
            EXPECT_EQ(run.tray.last().operation, TrayOperation::Delete);
        }
        const std::string events = c.events;
        for (const char event : events) {
            event == 'q'   ? run.form_.QueryEndSession()
            : event == 'w' ? run.form_.ShutdownWait_Timer()
                           : run.form_.EndSession(event == 'T');
        }
        EXPECT_EQ(run.files.files.count(L"zorvo.log"), c.logged != nullptr ? 1u : 0u);
        EXPECT_TRUE(c.logged == nullptr ||
                    run.files.files[L"zorvo.log"].find(*run.locale.ansi().encodeExact(c.logged)) !=
                        std::string::npos);
        EXPECT_EQ(run.messages.shown.size(), c.box != nullptr ? 1u : 0u);
        if (c.box != nullptr && !run.messages.shown.empty()) {
            EXPECT_EQ(run.messages.shown[0].rfind(c.box, 0), 0u)
                << testing::PrintToString(run.messages.shown[0]);
            EXPECT_NE(run.messages.shown[0].find(L"несохранённые"), std::wstring::npos);
        }
        const bool ends =
            c.logged != nullptr || c.box != nullptr || events.find('T') != std::string::npos;
        EXPECT_EQ(run.form.closed, ends);
        EXPECT_EQ(run.Timer3.enabled(), !c.atZero && !ends)
            << "a countdown goes on when nothing ends";
        EXPECT_FALSE(ends && run.shutdownWait.enabled());
    }
}

// A Russian system writes a new log, and one already in ANSI, in Windows-1251. One whose ANSI code
// page cannot hold the entry begins a new (or empty) log in UTF-8 with one byte-order mark and goes
// on so, as a Russian one does with a log begun so; an ANSI log it cannot add to, or cannot read,
// is left alone and the user told. The task ends the program whatever the log.
TEST(LogEncoding, ANewLogInTheSystemsCodePageElseUtf8AndALogGoesOnAsItBegan) {
    const std::string stamp = "[07.12.2026   1:02:03]\r\n", end = "\r\n" + std::string(24, '*');
    const std::string utf8 = stamp +
                             "\xD0\xA1\xD0\xB8\xD0\xB3\xD0\xBD\xD0\xB0\xD0\xBB "
                             "\xD0\xBF\xD0\xBE\xD0\xB4\xD0\xB0\xD0\xBD" +
                             end + "\r\n";
    const std::string ansi = stamp + "\xD1\xE8\xE3\xED\xE0\xEB \xEF\xEE\xE4\xE0\xED" + end + "\r\n";
    const std::string bom = "\xEF\xBB\xBF", old = "[01.12.2026   21:00:00]\r\nAlarm\r\n";
    const struct {
        bool western, unreadable;
        std::optional<std::string> before;
        std::string after;
    } cases[] = {
        {false, false, std::nullopt, ansi},
        {false, false, ansi, ansi + ansi},
        {true, false, std::nullopt, bom + utf8},
        {true, false, "", bom + utf8},
        {true, false, bom + utf8, bom + utf8 + utf8},
        {false, false, bom + utf8, bom + utf8 + utf8},
        {true, false, old, old},
        {true, true, old, old},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "western " << c.western << " before "
                                        << testing::PrintToString(c.before.value_or("(none)")));
        MainHarness run;
        if (c.western) {
            run.locale.ansiEncoder = text::TableEncoder(text::CodePage::Windows1252);
        }
        run.files.unreadable = c.unreadable;
        if (c.before) {
            run.files.files[L"zorvo.log"] = *c.before;
        }
        run.start();
        run.click(L"mnuLog");
        run.click(L"mnuAlarm");
        run.click(L"lblActivate");
        run.ticks(60);
        run.endMelody();
        EXPECT_TRUE(run.form.closed);
        EXPECT_EQ(run.files.files[L"zorvo.log"], c.after);
        const bool told = c.after == old;
        ASSERT_EQ(run.messages.shown.size(), told ? 1u : 0u);
        EXPECT_TRUE(!told ||
                    run.messages.shown[0].starts_with(L"Не удалось записать файл zorvo.log"));
    }
}

TEST(Utf8, EveryPlaneAndLoneSurrogates) {
    if constexpr (sizeof(wchar_t) == 2) {
        EXPECT_EQ(text::toUtf8(L"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
    } else { // the edges of the planes; a lone surrogate and past the last plane: U+FFFD
        const wchar_t edges[] = {0x7F,    0x80,    0x7FF,    0x800,    0xD7FF, 0xD800,
                                 0x10000, 0x1F600, 0x10FFFF, 0x110000, 0};
        EXPECT_EQ(text::toUtf8(edges),
                  "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBD\xF0\x90\x80\x80"
                  "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBD");
    }
}

TEST(Countdown, ResetReturnsToIdleKeepAwakeFollowsTheRunAndExitPerformsNothing) {
    fakes::StartedMain h;
    h.typeMinutes(L"\b2");
    h.click(L"lblActivate");
    EXPECT_TRUE(h.actions.awake);
    EXPECT_FALSE(h.Combo1.enabled() || h.lblActivate.enabled() || h.mnuActive.enabled());
    EXPECT_TRUE(h.lblReset.visible() && h.mnuReset.enabled() && h.Timer4.enabled());
    h.ticks(10);
    h.click(L"lblReset");
    EXPECT_FALSE(h.actions.awake || h.Timer3.enabled());
    EXPECT_TRUE(h.Timer4.enabled()) << "reset leaves the hot key poll on";
    EXPECT_EQ(h.form.caption(), kIdleCaption);
    EXPECT_TRUE(h.Combo1.enabled() && h.lblActivate.enabled() && h.mnuActive.enabled());
    EXPECT_FALSE(h.lblReset.visible() || h.mnuReset.enabled());
    EXPECT_EQ(h.tray.last().record.tipText(), L"Программа-Zorvo");
    EXPECT_EQ(h.tray.last().record.icon, MainHarness::kFormIcon);
    EXPECT_EQ(h.Combo1.text(), L"2");

    h.click(L"mnuActive"); // the full time again
    h.send(L"Timer3", Event::Timer);
    EXPECT_EQ(h.form.caption(), kShutdownPrefix + L"1 мин 59 сек");

    h.journal.clear();
    h.click(L"mnuExit");
    EXPECT_EQ(h.journal, (Journal{"close", "asleep-ok"}))
        << "the computer may sleep again once the countdown is gone";
    EXPECT_EQ(h.tray.last().operation, TrayOperation::Delete);
    EXPECT_FALSE(h.Timer2.enabled() || h.Timer3.enabled() || h.Timer4.enabled());
}

/// The system's side of the countdown's timer, on a clock the test moves: a periodic timer whose
/// messages come `lateness` after they are due, each period counted from the late message (so
/// lateness adds up unless the program sets the timer again), and the program's real pacing and
/// catch-up on top of it, sending each tick through frmMain's table of routes.
struct PacedCountdown {
    MainHarness& h;
    PacedTicker ticker{h.Timer3.interval()};
    std::int64_t now = 5'000, armedMs = 0, dueAt = 0, performedAt = -1;
    int arms = 0, handlerCalls = 0;

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
        h.click(L"lblActivate");
        ticker.start(now);
        arm(ticker.msUntilNext(now));
    }
    /// The next timer message, `lateMs` after it was due; false once the timer has stopped.
    bool wakeUp(std::int64_t lateMs) {
        now = dueAt + lateMs;
        const PacedTicker::Wake wake = ticker.wake([this] { return now; },
                                                   [this] {
                                                       ++handlerCalls;
                                                       h.send(L"Timer3", Event::Timer);
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
// activation, not later by the sum of the delays; messages more than a tick late are caught up,
// and one that comes before its tick runs nothing and waits for the moment, not a period more.
TEST(CountdownPacing, LateTimerMessagesDoNotDrift) {
    for (const int maxLateMs : {0, 16, 900, 2500}) {
        fakes::StartedMain h;
        h.click(L"mnuWait"); // a task that ends the program as soon as it is done
        h.typeMinutes(L"\b360");
        PacedCountdown run(h);
        run.activate();
        const std::int64_t activation = run.now;
        if (maxLateMs == 16) {
            EXPECT_TRUE(run.wakeUp(-5));
            EXPECT_EQ(run.handlerCalls, 0);
            EXPECT_TRUE(run.wakeUp(0));
            EXPECT_EQ(run.now - activation, 1000);
        }
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
    ticker.start(20'000);
    EXPECT_EQ(ticker.msUntilNext(20'000), 1000) << "a new start forgets the ticks taken";
}

// The melody plays on a thread of its own; the window hears of its end through its queue
// (MelodyFinished), which the harness delivers with endMelody().
struct AlarmSounding : ::testing::Test {
    fakes::StartedMain h;

    /// A one-minute alarm with logging on, run to its last tick.
    void SetUp() override {
        h.click(L"mnuLog");
        h.click(L"mnuAlarm");
        h.click(L"lblActivate");
        h.ticks(60);
    }
};

// The melody by what a listener hears, not note by note: 6.75 s on a quarter-second beat, two
// half-second pauses after the opening phrases, harmonics of one 150 Hz fundamental (which makes
// them consonant) from 900 Hz, a trill of two tones, and its highest note held last and longest.
TEST_F(AlarmSounding, MelodyLengthAndShape) {
    const std::vector<Note>& notes = h.melody.tones.notes;
    ASSERT_EQ(notes.size(), 16u);
    std::uint32_t total = 0, highest = 0;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        SCOPED_TRACE(i);
        const auto [hz, ms] = notes[i];
        total += ms;
        EXPECT_EQ(ms % 250, 0u);
        EXPECT_EQ(hz == 0, i == 2 || i == 5) << "a pause is silence, never 32767 Hz's whistle";
        EXPECT_TRUE(hz != 0 || ms == 500);
        EXPECT_TRUE(hz == 0 || (hz % 150 == 0 && hz >= 440 && hz <= 2000));
        EXPECT_TRUE(i < 6 || i > 14 || ms == 250);
        EXPECT_TRUE(i < 8 || i > 14 ||
                    (hz != notes[i - 1].frequencyHz && hz == notes[i - 2].frequencyHz));
        highest = std::max(highest, hz);
    }
    EXPECT_EQ(total, 6750u);
    EXPECT_EQ(notes.front().frequencyHz, 900u);
    EXPECT_EQ(notes.back().frequencyHz, highest);
    EXPECT_EQ(notes.back().durationMs, 1000u);
}

TEST_F(AlarmSounding, TheWindowAnswersDuringTheMelodyAndEndsAfterItsLastNote) {
    ASSERT_TRUE(h.melody.playing);
    EXPECT_FALSE(h.form.closed) << "ended before the melody";
    EXPECT_FALSE(h.Timer3.enabled());
    EXPECT_EQ(h.files.files.count(L"zorvo.log"), 0u) << "logged before the signal was given";

    // Its messages are handled meanwhile: the clock, the icon bringing the window back.
    h.clock.time = L"1:02:04";
    h.send(L"Timer2", Event::Timer);
    EXPECT_EQ(h.lblTime.caption(), L"1:02:04");
    h.form.visible_ = false;
    h.form_.TrayIcon_Message(0x203);
    EXPECT_TRUE(h.form.visible());

    // Nothing starts the task a second time or turns the window idle under the melody.
    h.click(L"lblActivate");
    h.click(L"mnuActive");
    h.send(L"Combo1", Event::KeyDown, {13, 0});
    h.click(L"lblReset");
    EXPECT_FALSE(h.Timer3.enabled()) << "a second countdown began";
    EXPECT_FALSE(h.lblActivate.enabled());
    EXPECT_EQ(h.form.caption(), L"Zorvo - подача звукового сигнала через 0 мин 00 сек");
    EXPECT_EQ(std::count(h.journal.begin(), h.journal.end(), "melody"), 1);

    h.endMelody();
    EXPECT_TRUE(h.form.closed);
    ASSERT_EQ(h.files.files.count(L"zorvo.log"), 1u);
    EXPECT_NE(h.files.files.at(L"zorvo.log").find("\xD1\xE8\xE3\xED\xE0\xEB"), std::string::npos)
        << "the entry names the signal";
    h.form_.MelodyFinished();
    EXPECT_EQ(std::count(h.journal.begin(), h.journal.end(), "close"), 1)
        << "a late second report ends nothing twice";
}

TEST_F(AlarmSounding, ClosingTheWindowSilencesTheMelodyAndLogsNothing) {
    h.click(L"mnuExit");
    EXPECT_TRUE(h.form.closed);
    EXPECT_FALSE(h.melody.playing) << "the player still runs after the window closed";
    h.form_.MelodyFinished(); // an end already on its way
    EXPECT_EQ(h.files.files.count(L"zorvo.log"), 0u) << "a signal cut short is not logged";
}

/// Notes that ask the player to stop when the `stopAt`th of them begins.
struct StoppingTones final : ToneOutput {
    std::atomic<bool>& stop;
    int stopAt, notes = 0;
    StoppingTones(std::atomic<bool>& s, int at) : stop(s), stopAt(at) {}
    void tone(std::uint32_t, std::uint32_t) override { stop = ++notes == stopAt || stop; }
    void silence(std::uint32_t ms) override { tone(0, ms); }
};

// The player reports the end only of a melody played to its last note.
TEST(Melody, AStopAskedForEndsItAfterTheNoteThatSounds) {
    for (const auto& [stopAt, notes, finished] :
         {std::tuple{0, 16, true}, {1, 1, false}, {16, 16, false}}) {
        std::atomic<bool> stop{false};
        StoppingTones tones(stop, stopAt);
        EXPECT_EQ(playMelody(kAlarmMelody, tones, stop), finished) << stopAt;
        EXPECT_EQ(tones.notes, notes) << stopAt;
    }
}

} // namespace
} // namespace zorvo
