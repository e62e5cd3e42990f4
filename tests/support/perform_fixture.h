// An instrument wired to a recording sink, with modifier keys the test sets
// and every drawn key mark and offered recording kept.
#pragma once

#include <cstdint>
#include <vector>

#include "perform/instrument.h"
#include "recording_sink.h"

namespace tonvale::test {

struct DrawnMark {
  int index;
  bool pressed;
  int shift;
  bool operator==(const DrawnMark&) const = default;
};

struct OfferedEvent {
  std::int32_t message;
  std::uint32_t key_data;
  std::int32_t shift;
  bool operator==(const OfferedEvent&) const = default;
};

class TestHooks : public KeyEventHooks {
 public:
  bool shift = false;
  bool ctrl = false;
  std::vector<DrawnMark> marks;
  std::vector<OfferedEvent> offered;

  bool ShiftDown() override { return shift; }
  bool CtrlDown() override { return ctrl; }
  void DrawKeyMark(int index, bool pressed, int shift_shown) override {
    marks.push_back({index, pressed, shift_shown});
  }
  void RecordKeyEvent(std::int32_t message, std::uint32_t key_data, std::int32_t s) override {
    offered.push_back({message, key_data, s});
  }
};

// An open instrument, ready to play.
struct PlayingInstrument {
  RecordingSink sink;
  TestHooks hooks;
  Instrument inst;

  PlayingInstrument() {
    inst.out = &sink;
    inst.hooks = &hooks;
    sink.Open(-1);
    inst.settings.device_open = 1;
  }
};

// Key parameters as the keyboard delivers them.
constexpr std::uint32_t Press(std::uint32_t scan) {
  return (scan << 16) | 1u;
}
constexpr std::uint32_t Repeat(std::uint32_t scan) {
  return (scan << 16) | 1u | (1u << 30);
}
constexpr std::uint32_t Release(std::uint32_t scan) {
  return (scan << 16) | 1u | (3u << 30);
}

}  // namespace tonvale::test
