// The key-event handler: one key press or release becomes octave-shift
// bookkeeping, a recorded event, a sounding note and a redrawn key mark.
#pragma once

#include <cstdint>

#include "perform/instrument.h"

namespace tonvale {

// Bit 30 of a key parameter: the key was already down (auto-repeat).
inline constexpr std::uint32_t kKeyWasDown = 1u << 30;
// Bit 24: an extended key (keypad slash, right Ctrl, the arrows, ...).
inline constexpr std::uint32_t kExtendedKeyBit = 1u << 24;
// Bits 30 and 31, set on every release.
inline constexpr std::uint32_t kReleaseBits = 3u << 30;

// The release parameter of a key that went down with parameter `press`.
constexpr std::uint32_t ReleaseParameterOf(std::uint32_t press) {
  return (press & ~kKeyWasDown) | kReleaseBits;
}

// Where a key event comes from: a key of the keyboard, or the mouse on the
// pictured keyboard (which holds one key at a time).
enum class KeySource { kKeyboard, kMouse };

// `message` is kKeyDown or kKeyUp, `key_data` the key parameter (scan code
// in bits 16..23). Each held key is remembered with the shift it sounded
// with, so its release ends that very note. A press of a key already down is
// an auto-repeat; a release of a key not down ends nothing. While the output
// is closed a press does nothing and a release only lets go of its key.
// Space is the sustain pedal (perform/sustain_pedal.h).
void HandleKeyEvent(Instrument& inst, std::int32_t message, std::uint32_t key_data,
                    KeySource source = KeySource::kKeyboard);

// Esc and stop: the group is over (the counters go to zero, the shift in
// force is kept), but the keys still down stay held; each ends its own note
// when it comes up, without touching the groups begun after.
void ResetHeldKeys(KeyboardState& keys);

// Releases, as if their key-ups had arrived, the keyboard keys still down
// (the window lost the keyboard): Space first, then the others in scan-code
// order.
void ReleaseKeyboardKeys(Instrument& inst);

}  // namespace tonvale
