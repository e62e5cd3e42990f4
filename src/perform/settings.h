// The performance settings and the keyboard state of one running instrument.
#pragma once

#include <array>
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

// A playing key that went down through the key handler and has not come up.
struct HeldKey {
  bool down = false;
  bool counted = false;     // still one of the keys the group's counter counts
  std::int32_t shift = 0;   // the octave shift its note was sounded with
  std::uint32_t press = 0;  // the key parameter of its press
};

// One slot per physical key: the 54 scan codes, again for the extended keys
// (keypad slash shares its scan code with slash), and the mouse.
inline constexpr int kHeldKeySlots = 2 * 54 + 1;

// Octave-shift bookkeeping of the keys held on the keyboard.
struct KeyboardState {
  std::int32_t shift_state = 0;  // -1, 0, +1
  std::int32_t held_plain = 0;
  std::int32_t held_raised = 0;
  std::int32_t held_lowered = 0;
  std::uint32_t mouse_key = kNoMouseKey;
  std::array<HeldKey, kHeldKeySlots> held_keys{};
};

// Where a sustain pedal went down, so that it comes up on the very channels
// it went down on, whatever the settings did in between.
struct PedalHold {
  bool down = false;
  std::int32_t channel = 0;
  bool bass = false;  // also on the bass channel
};

// The pedal pressed with Space, and the one pressed by a recording being
// played: each comes up where it went down, neither disturbs the other.
struct PedalState {
  bool key_down = false;    // Space went down through the key handler, not up yet
  std::uint32_t press = 0;  // the key parameter of that press
  PedalHold live;
  PedalHold played;
};

}  // namespace tonvale
