#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "fakes.h"

namespace zorvo {
namespace {

using fakes::MainHarness;
using namespace std::chrono_literals;

// ---- The window while the alarm sounds ---------------------------------------------------------

/// Notes that hold their caller as a real beep does, until the test lets them go (or a second
/// passes, so that a window that waits for them is caught rather than hung).
struct HeldTones final : ToneOutput {
    std::mutex mutex;
    std::condition_variable changed;
    int begun = 0;
    bool released = false;
    bool expired = false;

    void tone(std::uint32_t, std::uint32_t) override { hold(); }
    void silence(std::uint32_t) override { hold(); }
    void hold() {
        std::unique_lock lock(mutex);
        ++begun;
        changed.notify_all();
        if (!changed.wait_for(lock, 1s, [this] { return released; })) {
            expired = true;
        }
    }
    void release() {
        const std::lock_guard lock(mutex);
        released = true;
        changed.notify_all();
    }
    int notesBegun() {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, 1s, [this] { return begun > 0; });
        return begun;
    }
};

/// The player as the program has it: the notes on a thread of their own, the end reported by a
/// flag that stands for the message the window's queue would receive.
struct ThreadedPlayer final : MelodyPlayer {
    ToneOutput& output;
    std::atomic<bool> stopAsked{false};
    std::atomic<bool> endReported{false};
    std::thread thread;
    explicit ThreadedPlayer(ToneOutput& o) : output(o) {}
    ~ThreadedPlayer() override { stop(); }
    void start() override {
        thread = std::thread([this] {
            if (playMelody(kAlarmMelody, output, stopAsked)) {
                endReported = true;
            }
        });
    }
    void stop() override {
        stopAsked = true;
        if (thread.joinable()) {
            thread.join();
        }
    }
};

struct AlarmSounding : ::testing::Test {
    MainHarness h;
    HeldTones held;
    ThreadedPlayer player{held};

    /// A one-minute alarm with logging on, run to its last tick.
    void SetUp() override {
        h.melody.instead = &player;
        h.start();
        h.click(L"mnuLog");
        h.click(L"mnuAlarm");
        h.click(L"lblActivate");
        h.ticks(60);
    }
};

TEST_F(AlarmSounding, TheWindowAnswersDuringTheMelodyAndEndsAfterItsLastNote) {
    // The last tick has come back while the first note still sounds.
    EXPECT_EQ(held.notesBegun(), 1);
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

    held.release();
    player.thread.join();
    EXPECT_FALSE(held.expired) << "the window waited for a note";
    ASSERT_TRUE(player.endReported);
    EXPECT_FALSE(h.form.closed) << "the end comes through the window's queue";
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
    ASSERT_EQ(held.notesBegun(), 1);
    h.click(L"mnuExit");
    EXPECT_TRUE(h.form.closed);
    EXPECT_FALSE(player.thread.joinable()) << "the player still runs after the window closed";
    EXPECT_FALSE(player.endReported);
    h.endMelody();
    EXPECT_EQ(h.files.files.count(L"zorvo.log"), 0u) << "a signal cut short is not logged";
}

} // namespace
} // namespace zorvo
