// The sustain pedal on the space bar. Space's scan code lies beyond the key
// table, so it plays no note: held, it sends Control Change 64 at 127 on the
// played channel (and on the bass channel while the automatic bass is on),
// let go, 0 on the same channels. It is recorded and played back like a key.
#pragma once

#include <cstdint>

#include "perform/instrument.h"
#include "perform/key_table.h"

namespace tonvale {

inline constexpr std::uint32_t kPedalScanCode = 57;  // Space
inline constexpr std::uint32_t kPedalDown = 127;
inline constexpr std::uint32_t kPedalUp = 0;

// Whether a key parameter (or a recorded event's key_data) is Space's.
constexpr bool IsPedalKey(std::uint32_t key_data) {
  return ScanCodeOf(key_data) == kPedalScanCode;
}

// Space through the key handler. A press of Space already down is an
// auto-repeat and does nothing; a release of a Space that never went down
// here does nothing. Presses and releases are offered to the recorder with
// shift 0. While the output is closed a press does nothing and a release
// only lets go of the key. A Space that comes up after its pedal was
// released (Esc, a changed channel, ...) sends nothing: that pedal is up.
void HandlePedalKey(Instrument& inst, std::int32_t message, std::uint32_t key_data);

// A recorded pedal event in playback: a release lets the played pedal go,
// anything else presses it, with the settings in force now.
void PlayRecordedPedal(Instrument& inst, std::int32_t message);

// Lets go of both pedals, each with value 0 where it went down. Whatever
// must leave no note ringing calls this before it sends anything else: All
// Notes Off and a changed channel or instrument leave sustained notes alone.
// Space, if still down, stays down, and its release sends nothing.
void ReleasePedal(Instrument& inst);

// Whether a pedal is held, live or played: what the window's mark shows.
bool PedalHeld(const Instrument& inst);

}  // namespace tonvale
