// Notes on and off under the current key mode, with the automatic bass.
#pragma once

#include <cstdint>

#include "perform/instrument.h"

namespace tonvale {

// Nothing is sent while the key mode is no key mode. `octave` includes the
// octave shift.
void NoteOn(Instrument& inst, std::int32_t chan, int octave, int semitone, std::int32_t vel);
void NoteOff(Instrument& inst, std::int32_t chan, int octave, int semitone);

// The played note, then the bass an octave lower on channel 16 when the
// automatic bass is on.
void SoundKeyPress(Instrument& inst, int octave, int semitone);
void SoundKeyRelease(Instrument& inst, int octave, int semitone);

// Sounds and draws one recorded event with the settings in force now; the
// keyboard state is neither read nor changed. Space's events move the
// played pedal.
void PlayRecordedEvent(Instrument& inst, std::int32_t message, std::uint32_t key_data,
                       std::int32_t shift);

}  // namespace tonvale
