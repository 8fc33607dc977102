#include "power/melody.h"

namespace zorvo {

bool playMelody(std::span<const Note> notes, ToneOutput& output, const std::atomic<bool>& stop) {
    for (const Note& note : notes) {
        if (stop.load()) {
            return false;
        }
        if (note.frequencyHz == kPauseHz) {
            output.silence(note.durationMs);
        } else {
            output.tone(note.frequencyHz, note.durationMs);
        }
    }
    return !stop.load();
}

} // namespace zorvo
