// Recording through the real key handler: the window's hooks forward every
// key event the handler takes to RecordKeyEvent.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "perform/instrument.h"
#include "perform/key_handler.h"
#include "record/clock.h"
#include "record/event_lists.h"
#include "record/performance_event.h"
#include "recording_sink.h"

namespace tonvale {
namespace {

constexpr std::uint32_t Key(std::uint32_t scan) {
  return (scan << 16) | 1u;
}
constexpr std::uint32_t Up(std::uint32_t scan) {
  return Key(scan) | 0xC0000000u;
}

class KeyRecording : public ::testing::Test, public KeyEventHooks {
 protected:
  KeyRecording() {
    sink.Open(-1);
    inst.out = &sink;
    inst.hooks = this;
    inst.settings.device_open = 1;
  }
  bool ShiftDown() override { return shift; }
  bool CtrlDown() override { return ctrl; }
  void RecordKeyEvent(std::int32_t message, std::uint32_t key_data, std::int32_t s) override {
    tonvale::RecordKeyEvent(list, modified, clock, message, key_data, s);
  }
  void Press(std::uint32_t key_data) { HandleKeyEvent(inst, kKeyDown, key_data); }
  void Release(std::uint32_t key_data) { HandleKeyEvent(inst, kKeyUp, key_data); }

  bool shift = false, ctrl = false;
  test::RecordingSink sink;
  SettableMillisecondClock clock{5000};
  RecordingList list;
  bool modified = false;
  Instrument inst;
};

TEST_F(KeyRecording, PressAndReleaseOfKeyAGiveTheKnownThirtyTwoBytes) {
  BeginRecording(list, clock.NowMs());
  clock.Advance(1200);
  Press(0x001E0001u);
  clock.Advance(300);
  Release(0xC01E0001u);

  std::vector<std::uint8_t> bytes;
  for (const PerformanceEvent& ev : list.recording_events) {
    const EventBytes b = EncodeEvent(ev);
    bytes.insert(bytes.end(), b.begin(), b.end());
  }
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xB0, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
                                              0x01, 0x00, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x00,
                                              0x2C, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                              0x01, 0x00, 0x1E, 0xC0, 0x00, 0x00, 0x00, 0x00}));
  EXPECT_TRUE(modified);
  // And it sounded: middle C on, then off.
  EXPECT_EQ(sink.sent, (std::vector<std::uint32_t>{0x7F3C90u, 0x003C80u}));
}

TEST_F(KeyRecording, HeldKeysLeadingReleasesAndSilentKeys) {
  // A key held before recording starts: its release is sounded, not recorded.
  Press(Key(0x1F));
  BeginRecording(list, clock.NowMs());
  clock.Advance(40);
  Release(Up(0x1F));
  EXPECT_EQ(list.recording_count(), 0u);
  EXPECT_FALSE(modified);
  EXPECT_EQ(sink.sent.size(), 2u) << "the release still sounds";

  // Auto-repeats of a held key: one press, one release. Keys with no note
  // are neither sounded nor recorded.
  clock.Advance(10);
  Press(Key(0x1E));
  for (int i = 0; i < 5; ++i) {
    clock.Advance(33);
    Press(Key(0x1E) | kKeyWasDown);
  }
  clock.Advance(7);
  Release(Up(0x1E));
  Press(Key(0x39));
  Press(Key(0x0E));
  Release(Up(0x0E));
  EXPECT_EQ(list.recording_events, (std::vector<PerformanceEvent>{{50, kKeyDown, Key(0x1E), 0},
                                                                  {172, kKeyUp, Up(0x1E), 0}}));
  EXPECT_TRUE(modified);

  // Once the list has begun, a stray release is kept.
  Press(Key(0x20));
  BeginRecording(list, clock.NowMs());
  Press(Key(0x21));
  Release(Up(0x20));
  ASSERT_EQ(list.recording_count(), 2u);
  EXPECT_EQ(list.recording_events[1].message, kKeyUp);
}

TEST_F(KeyRecording, MouseKeysShiftChordsAndTheClockWrap) {
  BeginRecording(list, clock.NowMs());
  // The on-screen keyboard sends the key index alone.
  clock.Advance(5);
  Press(0x1E << 16);
  clock.Advance(5);
  Release(0x1E << 16);
  // Shift at the first key of a group raises the whole chord; the releases
  // carry the same shift although Shift is up by then.
  shift = true;
  clock.Advance(100);
  Press(Key(0x1E));
  shift = false;
  Press(Key(0x20));
  Press(Key(0x22));
  clock.Advance(2);
  for (std::uint32_t scan : {0x1Eu, 0x20u, 0x22u}) Release(Up(scan));
  // Ctrl lowers.
  ctrl = true;
  clock.Advance(50);
  Press(Key(0x1F));
  ctrl = false;
  clock.Advance(50);
  Release(Up(0x1F));
  // Across the wrap of the 32-bit clock.
  clock.Set(0xFFFFFFF0u);
  Press(Key(0x21));
  clock.Advance(0x20);
  Release(Up(0x21));

  const std::vector<PerformanceEvent> expected = {
      {5, kKeyDown, 0x001E0000u, 0},
      {5, kKeyUp, 0x001E0000u, 0},
      {100, kKeyDown, Key(0x1E), 1},
      {0, kKeyDown, Key(0x20), 1},
      {0, kKeyDown, Key(0x22), 1},
      {2, kKeyUp, Up(0x1E), 1},
      {0, kKeyUp, Up(0x20), 1},
      {0, kKeyUp, Up(0x22), 1},
      {50, kKeyDown, Key(0x1F), -1},
      {50, kKeyUp, Up(0x1F), -1},
      {0xFFFFFFF0u - 5212u, kKeyDown, Key(0x21), 0},
      {0x20, kKeyUp, Up(0x21), 0},
  };
  EXPECT_EQ(list.recording_events, expected);
}

}  // namespace
}  // namespace tonvale
