#include "record/play_event.h"

#include <gtest/gtest.h>

#include "perform_fixture.h"

namespace tonvale {
namespace {

using namespace test;

TEST(PlayEvent, SoundsWithTheSettingsInForceAndLeavesTheLiveKeyboardAlone) {
  Player p;
  p.Play("ctrl +S");  // a live group; the live modifiers do not matter
  PlaybackList play;
  play.playback_events = {{10, kKeyDown, Press(30), 1},  // A raised
                          {10, kKeyUp, Release(30), 1},  // its release
                          {10, kKeyDown, Press(14), 0},  // a key with no note
                          {10, 300, 0x001F0000u, 0}};    // anything but a release presses
  EXPECT_TRUE(HandlePlayEvent(p.inst, play, 0));
  // Channel, key mode and bass changed between two events: the next one uses them.
  p.inst.settings = {.device_open = 1, .channel = 3, .key_mode = 1298, .auto_bass = 1};
  for (std::uint32_t i : {1u, 2u, 3u}) EXPECT_TRUE(HandlePlayEvent(p.inst, play, i));
  EXPECT_EQ(p.Notes(), (Sent{On(50), On(72), Off(74, 3), Off(62, 15), On(64, 3), On(52, 15)}));
  EXPECT_EQ(p.marks,
            (std::vector<Call>{{31, true, -1}, {30, true, 1}, {30, false, 1}, {31, true, 0}}));
  EXPECT_EQ(p.inst.keys.held_lowered, 1);
  EXPECT_EQ(p.offered.size(), 1u);
  // Out of the list, or with the output closed: nothing at all.
  EXPECT_FALSE(HandlePlayEvent(p.inst, play, 4));
  p.inst.settings.device_open = 0;
  EXPECT_FALSE(HandlePlayEvent(p.inst, play, 0));
  EXPECT_EQ(p.marks.size(), 4u);
}

}  // namespace
}  // namespace tonvale
