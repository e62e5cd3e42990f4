// The key-event handler: one key press or release becomes octave-shift
// bookkeeping, a recorded event, a sounding note and a redrawn key mark.
#pragma once

#include <cstdint>

#include "perform/instrument.h"

namespace tonvale {

// Bit 30 of a key parameter: the key was already down (auto-repeat).
inline constexpr std::uint32_t kKeyWasDown = 1u << 30;

// `message` is kKeyDown or kKeyUp, `key_data` the key parameter (scan code
// in bits 16..23). Called only while the output is open.
void HandleKeyEvent(Instrument& inst, std::int32_t message, std::uint32_t key_data);

// Forgets the held keys (Esc, stop); the shift in force is kept.
void ResetHeldKeys(KeyboardState& keys);

}  // namespace tonvale
