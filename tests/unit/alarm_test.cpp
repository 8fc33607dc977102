#include <gtest/gtest.h>

#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;

// The melody plays on a thread of its own; the window hears of its end through its queue
// (MelodyFinished), which the harness delivers with endMelody().
struct AlarmSounding : ::testing::Test {
    MainHarness h;

    /// A one-minute alarm with logging on, run to its last tick.
    void SetUp() override {
        h.start();
        h.click(L"mnuLog");
        h.click(L"mnuAlarm");
        h.click(L"lblActivate");
        h.ticks(60);
    }
};

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
    int stopAt;
    int notes = 0;
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
