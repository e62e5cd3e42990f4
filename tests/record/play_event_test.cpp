#include "record/play_event.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "perform_fixture.h"

namespace tonvale {
namespace {

// Playback must not ask for the live modifiers.
struct NoModifiers : test::TestHooks {
  bool ShiftDown() override { return ++modifier_reads, true; }
  bool CtrlDown() override { return ++modifier_reads, true; }
  int modifier_reads = 0;
};

TEST(PlayEvent, SoundsWithTheSettingsInForceAndLeavesTheLiveKeyboardAlone) {
  test::PlayingInstrument p;
  NoModifiers hooks;
  p.inst.hooks = &hooks;
  p.inst.keys.shift_state = -1;
  p.inst.keys.held_lowered = 2;
  PlaybackList play;
  play.playback_events = {
      {10, kKeyDown, 0x001E0001u, 1},  // A raised
      {10, kKeyUp, 0xC01E0001u, 1},    // its release
      {10, kKeyDown, 0x000E0001u, 0},  // a key with no note
      {10, kKeyDown, 0x001F0000u, 0},  // S
      {10, 300, 0x00200001u, 0},       // D: anything but a release is a press
  };
  EXPECT_TRUE(HandlePlayEvent(p.inst, play, 0));
  // The channel and key mode change between two events: the next one uses them.
  p.inst.settings.channel = 3;
  p.inst.settings.key_mode = 1298;  // D major
  p.inst.settings.auto_bass = 1;
  for (std::uint32_t i : {1u, 2u, 3u, 4u}) EXPECT_TRUE(HandlePlayEvent(p.inst, play, i));

  EXPECT_EQ(p.sink.sent, (std::vector<std::uint32_t>{0x7F4890u, 0x004A83u, 0x003E8Fu, 0x7F4093u,
                                                     0x7F349Fu, 0x7F4293u, 0x7F369Fu}));
  EXPECT_EQ(hooks.marks, (std::vector<test::DrawnMark>{
                             {30, true, 1}, {30, false, 1}, {31, true, 0}, {32, true, 0}}));
  EXPECT_EQ(hooks.modifier_reads, 0);
  EXPECT_EQ(p.inst.keys.shift_state, -1);
  EXPECT_EQ(p.inst.keys.held_lowered, 2);

  // Out of the list, or with the output closed: nothing at all.
  EXPECT_FALSE(HandlePlayEvent(p.inst, play, 5));
  EXPECT_FALSE(HandlePlayEvent(p.inst, play, 0xFFFFFFFFu));
  p.inst.settings.device_open = 0;
  EXPECT_FALSE(HandlePlayEvent(p.inst, play, 0));
  EXPECT_EQ(p.sink.sent.size(), 7u);
  EXPECT_EQ(hooks.marks.size(), 4u);
  EXPECT_TRUE(hooks.offered.empty());
}

}  // namespace
}  // namespace tonvale
