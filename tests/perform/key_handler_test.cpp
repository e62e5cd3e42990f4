#include "perform/key_handler.h"

#include <gtest/gtest.h>

#include "perform_fixture.h"

namespace tonvale {
namespace {

using test::DrawnMark;
using test::PlayingInstrument;
using test::Press;
using test::Release;
using test::Repeat;
using Sent = std::vector<std::uint32_t>;

constexpr std::uint32_t kA = 30, kS = 31, kD = 32;

std::uint32_t On(std::uint32_t note, std::uint32_t chan = 0, std::uint32_t vel = 127) {
  return (0x90u | chan) | (note << 8) | (vel << 16);
}
std::uint32_t Off(std::uint32_t note, std::uint32_t chan = 0) {
  return (0x80u | chan) | (note << 8);
}

struct Player : PlayingInstrument {
  void Down(std::uint32_t scan) { HandleKeyEvent(inst, kKeyDown, Press(scan)); }
  void Up(std::uint32_t scan) { HandleKeyEvent(inst, kKeyUp, Release(scan)); }
  void Again(std::uint32_t scan) { HandleKeyEvent(inst, kKeyDown, Repeat(scan)); }
  bool Idle() const {
    const KeyboardState& k = inst.keys;
    return k.held_plain == 0 && k.held_raised == 0 && k.held_lowered == 0 && k.shift_state == 0;
  }
};

TEST(KeyHandler, ShiftIsLatchedForTheWholeGroup) {
  Player p;
  // A held plain; Shift pressed for S joins the plain group.
  p.Down(kA);
  p.hooks.shift = true;
  p.Down(kS);
  EXPECT_EQ(p.inst.keys.held_plain, 2);
  p.Up(kA);
  p.Up(kS);
  EXPECT_TRUE(p.Idle());
  // Now S with Shift starts its own group an octave up.
  p.Down(kS);
  p.Up(kS);
  EXPECT_EQ(p.sink.sent, (Sent{On(60), On(62), Off(60), Off(62), On(74), Off(74)}));
  EXPECT_TRUE(p.Idle());

  // Shift let go mid-group, Ctrl now: the group stays raised to its end,
  // drawn in the raised picture and released with it.
  Player q;
  q.hooks.shift = true;
  q.Down(kA);
  q.hooks.shift = false;
  q.hooks.ctrl = true;
  q.Down(kS);
  EXPECT_EQ(q.inst.keys.held_raised, 2);
  q.Up(kA);
  EXPECT_EQ(q.inst.keys.shift_state, 1);  // S still held
  q.Up(kS);
  EXPECT_EQ(q.sink.sent, (Sent{On(72), On(74), Off(72), Off(74)}));
  EXPECT_TRUE(q.Idle());
  EXPECT_EQ(q.hooks.marks,
            (std::vector<DrawnMark>{{30, true, 1}, {31, true, 1}, {30, false, 1}, {31, false, 0}}));

  // A lowered group with its bass, velocity and channel.
  Player r;
  r.inst.settings.auto_bass = 1;
  r.inst.settings.velocity = 90;
  r.inst.settings.channel = 4;
  r.hooks.ctrl = true;
  r.Down(kD);
  r.Up(kD);
  EXPECT_EQ(r.sink.sent, (Sent{On(52, 4, 90), On(40, 15, 90), Off(52, 4), Off(40, 15)}));
}

TEST(KeyHandler, AutoRepeatAndKeysAlreadyDown) {
  Player p;
  p.Down(kA);
  for (int i = 0; i < 5; ++i) p.Again(kA);
  EXPECT_EQ(p.sink.sent, (Sent{On(60)}));
  EXPECT_EQ(p.hooks.marks.size(), 1u);
  EXPECT_EQ(p.hooks.offered.size(), 1u);
  EXPECT_EQ(p.inst.keys.held_plain, 1);
  p.Up(kA);
  EXPECT_TRUE(p.Idle());

  // The first key arrives already down (focus came back while it was held):
  // counted for its group, but silent until its release.
  Player q;
  q.hooks.shift = true;
  q.Again(kA);
  EXPECT_EQ(q.inst.keys.held_raised, 1);
  EXPECT_EQ(q.inst.keys.shift_state, 1);
  EXPECT_TRUE(q.sink.sent.empty() && q.hooks.marks.empty() && q.hooks.offered.empty());
  q.Up(kA);
  EXPECT_EQ(q.sink.sent, (Sent{Off(72)}));
  EXPECT_TRUE(q.Idle());
}

TEST(KeyHandler, ReleasesAfterResetNeverDriveCountersNegative) {
  Player p;
  p.Down(kA);
  p.Down(kS);
  ResetHeldKeys(p.inst.keys);  // Esc while two keys are held
  p.Up(kA);
  p.Up(kS);
  EXPECT_EQ(p.inst.keys.held_plain, 0);
  // The next key starts a fresh group and consults Shift again.
  p.hooks.shift = true;
  p.sink.Clear();
  p.Down(kD);
  EXPECT_EQ(p.sink.sent, (Sent{On(76)}));
  EXPECT_EQ(p.inst.keys.held_raised, 1);
  p.Up(kD);
  EXPECT_TRUE(p.Idle());

  // A raised group reset mid-way: its shift stays until a release or a new
  // group; the late release still ends the raised note and leaves Idle.
  p.sink.Clear();
  p.Down(kA);
  ResetHeldKeys(p.inst.keys);
  EXPECT_EQ(p.inst.keys.shift_state, 1);
  p.Up(kA);
  EXPECT_EQ(p.sink.sent, (Sent{On(72), Off(72)}));
  EXPECT_TRUE(p.Idle());
}

TEST(NoteSounding, ReleasesUseTheSettingsInForceAtTheRelease) {
  Player p;
  p.inst.settings.auto_bass = 1;
  p.Down(kA);
  p.inst.settings.auto_bass = 0;  // the bass note 48 is left to Esc
  p.Up(kA);
  p.Down(kA);
  p.inst.settings.key_mode = 1298;  // D major
  p.inst.settings.channel = 3;
  p.inst.settings.auto_bass = 1;
  p.Up(kA);
  EXPECT_EQ(p.sink.sent, (Sent{On(60), On(48, 15), Off(60), On(60), Off(62, 3), Off(50, 15)}));
}

}  // namespace
}  // namespace tonvale
