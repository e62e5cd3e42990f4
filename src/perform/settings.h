// The performance settings and the keyboard state of one running instrument.
#pragma once

#include <cstdint>

namespace tonvale {

inline constexpr std::int32_t kDefaultKeyMode = 1297;  // C major
inline constexpr std::int32_t kBassChannel = 15;       // MIDI channel 16
inline constexpr std::uint32_t kNoMouseKey = 255;

struct Settings {
  std::int32_t midi_device = -1;  // -1: the default output
  std::int32_t device_open = 0;
  std::int32_t channel = 0;  // 0..14, shown as 1..15
  std::int32_t program = 0;  // 0..127
  std::int32_t velocity = 127;
  std::int32_t key_mode = kDefaultKeyMode;
  std::int32_t auto_bass = 0;
};

// Octave-shift bookkeeping of the keys held on the keyboard.
struct KeyboardState {
  std::int32_t shift_state = 0;  // -1, 0, +1
  std::int32_t held_plain = 0;
  std::int32_t held_raised = 0;
  std::int32_t held_lowered = 0;
  std::uint32_t mouse_key = kNoMouseKey;
};

}  // namespace tonvale
