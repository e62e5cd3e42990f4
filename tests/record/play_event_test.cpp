#include "record/play_event.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "perform/instrument.h"
#include "recording_sink.h"

namespace tonvale {
namespace {

class DrawLog : public KeyEventHooks {
 public:
  void DrawKeyMark(int index, bool pressed, int shift) override {
    marks.push_back(std::to_string(index) + (pressed ? " down " : " up ") + std::to_string(shift));
  }
  // Playback must not ask for the live modifiers.
  bool ShiftDown() override {
    ++modifier_reads;
    return true;
  }
  bool CtrlDown() override {
    ++modifier_reads;
    return true;
  }
  std::vector<std::string> marks;
  int modifier_reads = 0;
};

using Bytes = std::vector<std::uint8_t>;

TEST(PlayEvent, SoundsWithTheSettingsInForceAndLeavesTheLiveKeyboardAlone) {
  test::RecordingSink sink;
  sink.Open(-1);
  DrawLog hooks;
  Instrument inst;
  inst.out = &sink;
  inst.hooks = &hooks;
  inst.settings.device_open = 1;
  inst.keys.shift_state = -1;
  inst.keys.held_lowered = 2;

  PlaybackList play;
  play.playback_events = {
      {10, kKeyDown, 0x001E0001u, 1},  // A raised
      {10, kKeyUp, 0xC01E0001u, 1},    // its release
      {10, kKeyDown, 0x000E0001u, 0},  // a key with no note
      {10, kKeyDown, 0x001F0000u, 0},  // S
  };

  EXPECT_TRUE(HandlePlayEvent(inst, play, 0));
  // The channel and key mode change between two events: the next one uses them.
  inst.settings.channel = 3;
  inst.settings.key_mode = 1298;  // D major
  inst.settings.auto_bass = 1;
  EXPECT_TRUE(HandlePlayEvent(inst, play, 1));
  EXPECT_TRUE(HandlePlayEvent(inst, play, 2));
  EXPECT_TRUE(HandlePlayEvent(inst, play, 3));

  ASSERT_EQ(sink.sent.size(), 5u);
  EXPECT_EQ(test::RecordingSink::Bytes(sink.sent[0]), (Bytes{0x90, 0x48, 0x7F}));
  EXPECT_EQ(test::RecordingSink::Bytes(sink.sent[1]), (Bytes{0x83, 0x4A, 0x00}));
  EXPECT_EQ(test::RecordingSink::Bytes(sink.sent[2]), (Bytes{0x8F, 0x3E, 0x00}));
  EXPECT_EQ(test::RecordingSink::Bytes(sink.sent[3]), (Bytes{0x93, 0x40, 0x7F}));
  EXPECT_EQ(test::RecordingSink::Bytes(sink.sent[4]), (Bytes{0x9F, 0x34, 0x7F}));
  EXPECT_EQ(hooks.marks, (std::vector<std::string>{"30 down 1", "30 up 1", "31 down 0"}));
  EXPECT_EQ(hooks.modifier_reads, 0);
  EXPECT_EQ(inst.keys.shift_state, -1);
  EXPECT_EQ(inst.keys.held_lowered, 2);

  // Out of the list, or with the output closed: nothing at all.
  EXPECT_FALSE(HandlePlayEvent(inst, play, 4));
  EXPECT_FALSE(HandlePlayEvent(inst, play, 0xFFFFFFFFu));
  inst.settings.device_open = 0;
  EXPECT_FALSE(HandlePlayEvent(inst, play, 0));
  EXPECT_EQ(sink.sent.size(), 5u);
  EXPECT_EQ(hooks.marks.size(), 3u);
}

}  // namespace
}  // namespace tonvale
