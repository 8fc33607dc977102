#pragma once
// The alarm melody as a sequence of notes, played note by note on a sound output that a player
// runs away from the window's thread, so that the window keeps answering while it sounds.

#include <atomic>
#include <cstdint>
#include <span>

#include "power/power_actions.h"

namespace zorvo {

/// The note the melody writes for its pauses. It was once the highest tone a PC speaker took and
/// lay above hearing; on a sound card it folds back into an audible whistle, so it is played as
/// silence.
inline constexpr std::uint32_t kPauseHz = 32767;

/// Where the notes sound. Both calls block for the whole length of the note (or until a stop is
/// asked for).
class ToneOutput {
public:
    virtual ~ToneOutput() = default;
    virtual void tone(std::uint32_t frequencyHz, std::uint32_t durationMs) = 0;
    virtual void silence(std::uint32_t durationMs) = 0;
};

/// Plays the notes in order, a pause as silence of its length, and stops before the next note once
/// `stop` is set. True when the last note has been played.
bool playMelody(std::span<const Note> notes, ToneOutput& output, const std::atomic<bool>& stop);

/// Plays the alarm melody off the window's thread.
class MelodyPlayer {
public:
    virtual ~MelodyPlayer() = default;
    /// Starts the melody and returns at once; after its last note the window's logic hears of it
    /// on its own thread (frmMain::MelodyFinished).
    virtual void start() = 0;
    /// Cuts a playing melody short at the end of the current note and waits for that; nothing
    /// when none plays. No end is reported for a stopped melody.
    virtual void stop() = 0;
};

} // namespace zorvo
