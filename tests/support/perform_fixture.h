// An open instrument over a recording sink: the test plays keys with the
// modifiers it chooses and reads what was sent, drawn and recorded.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "perform/key_handler.h"
#include "perform/midi_messages.h"
#include "recording_sink.h"

namespace tonvale::test {

// Key parameters as the keyboard delivers them, and note messages as packed.
constexpr std::uint32_t Press(std::uint32_t scan) {
  return (scan << 16) | 1u;
}
constexpr std::uint32_t Release(std::uint32_t scan) {
  return Press(scan) | kReleaseBits;
}
constexpr std::uint32_t On(std::uint32_t note, std::uint32_t chan = 0, std::uint32_t vel = 127) {
  return (0x90u | chan) | (note << 8) | (vel << 16);
}
constexpr std::uint32_t Off(std::uint32_t note, std::uint32_t chan = 0) {
  return (0x80u | chan) | (note << 8);
}
using Sent = std::vector<std::uint32_t>;
// A drawn key mark {index, pressed, shift}, an offered event {message, key
// parameter, shift}.
using Call = std::tuple<std::int64_t, std::int64_t, std::int64_t>;

struct Player : KeyEventHooks {
  RecordingSink sink;
  Instrument inst{
      .settings = {.device_open = 1}, .keys = {}, .out = &sink, .hooks = this, .pedal = {}};
  bool shift = false, ctrl = false;
  std::vector<Call> marks, offered;
  std::string pedal_marks;  // "+" shown, "-" hidden, one per call

  Player() { sink.Open(-1); }
  bool ShiftDown() override { return shift; }
  bool CtrlDown() override { return ctrl; }
  void DrawKeyMark(int index, bool pressed, int s) override {
    marks.push_back({index, pressed, s});
  }
  void RecordKeyEvent(std::int32_t message, std::uint32_t key_data, std::int32_t s) override {
    offered.push_back({message, key_data, s});
  }
  void ShowPedal(bool held) override { pedal_marks += held ? '+' : '-'; }
  // Steps separated by spaces: "+A" presses, "-A" releases and "*A" repeats
  // a key of the middle row (A = scan code 30 ... L = 38), "_" is Space;
  // "+m" and "-m" the mouse on key A; "shift", "ctrl" and "none" are the
  // modifier keys from then on; "esc" ends the held group; "close" and
  // "open" the output.
  void Play(const std::string& steps) {
    std::istringstream in(steps);
    for (std::string s; in >> s;) {
      const auto scan =
          s.back() == '_'
              ? 57u
              : static_cast<std::uint32_t>(std::string("ASDFGHJKL").find(s.back()) + 30);
      if (s == "shift" || s == "ctrl" || s == "none") {
        shift = s == "shift";
        ctrl = s == "ctrl";
      } else if (s == "esc") {
        ResetHeldKeys(inst.keys);
      } else if (s == "close") {
        CloseOutput(inst);
      } else if (s == "open") {
        OpenOutput(inst);
      } else if (s.back() == 'm') {
        HandleKeyEvent(inst, s[0] == '+' ? kKeyDown : kKeyUp, 30 << 16, KeySource::kMouse);
      } else {
        HandleKeyEvent(inst, s[0] == '-' ? kKeyUp : kKeyDown,
                       s[0] == '-' ? Release(scan) : Press(scan) | (s[0] == '*' ? kKeyWasDown : 0));
      }
    }
  }
  // The note-ons and note-offs sent, nothing else.
  Sent Notes() const {
    Sent notes;
    std::copy_if(sink.sent.begin(), sink.sent.end(), std::back_inserter(notes),
                 [](std::uint32_t m) { return (m & 0xE0) == 0x80; });
    return notes;
  }
};

}  // namespace tonvale::test
