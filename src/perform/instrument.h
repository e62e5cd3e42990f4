// One playing instrument: its settings, its keyboard state, the output it
// plays through and the hooks through which the key handler reaches the
// rest of the program (modifier keys, drawing, recording). The shell owns
// one of these and hands it to the free functions of the core.
#pragma once

#include <cstdint>

#include "perform/midi_output.h"
#include "perform/settings.h"

namespace tonvale {

inline constexpr std::int32_t kKeyDown = 256;  // message of a key press
inline constexpr std::int32_t kKeyUp = 257;    // message of a key release

class KeyEventHooks {
 public:
  virtual ~KeyEventHooks() = default;
  // Modifier keys at this very moment (read at the press, not taken from the
  // key message).
  virtual bool ShiftDown() { return false; }
  virtual bool CtrlDown() { return false; }
  // Draw one key mark; `shift` is the shift to show when pressed.
  virtual void DrawKeyMark(int /*index*/, bool /*pressed*/, int /*shift*/) {}
  // A key event the handler took, offered to the recorder.
  virtual void RecordKeyEvent(std::int32_t /*message*/, std::uint32_t /*key_data*/,
                              std::int32_t /*shift*/) {}
  // Show or hide the mark of a held sustain pedal.
  virtual void ShowPedal(bool /*held*/) {}
};

struct Instrument {
  Settings settings;
  KeyboardState keys;
  MidiOut* out = nullptr;          // not owned
  KeyEventHooks* hooks = nullptr;  // not owned; may be null
  PedalState pedal;
};

}  // namespace tonvale
