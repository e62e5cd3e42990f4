#include "perform/key_handler.h"

#include <gtest/gtest.h>

#include "perform/note_sounding.h"
#include "perform_fixture.h"

namespace tonvale {
namespace {

using test::DrawnMark;
using test::OfferedEvent;
using test::PlayingInstrument;
using test::Press;
using test::Release;
using test::Repeat;

constexpr std::uint32_t kA = 30, kS = 31, kD = 32;

std::uint32_t On(std::uint32_t note, std::uint32_t chan = 0, std::uint32_t vel = 127) {
  return (0x90u | chan) | (note << 8) | (vel << 16);
}
std::uint32_t Off(std::uint32_t note, std::uint32_t chan = 0) {
  return (0x80u | chan) | (note << 8);
}

void Down(PlayingInstrument& p, std::uint32_t scan) {
  HandleKeyEvent(p.inst, kKeyDown, Press(scan));
}
void Up(PlayingInstrument& p, std::uint32_t scan) {
  HandleKeyEvent(p.inst, kKeyUp, Release(scan));
}

bool Idle(const KeyboardState& k) {
  return k.held_plain == 0 && k.held_raised == 0 && k.held_lowered == 0 && k.shift_state == 0;
}

TEST(KeyHandler, ShiftIsLatchedForTheWholeGroup) {
  PlayingInstrument p;
  // A held plain; Shift pressed for S joins the plain group.
  Down(p, kA);
  p.hooks.shift = true;
  Down(p, kS);
  EXPECT_EQ(p.inst.keys.held_plain, 2);
  Up(p, kA);
  Up(p, kS);
  EXPECT_TRUE(Idle(p.inst.keys));
  // Now S with Shift starts its own group an octave up.
  Down(p, kS);
  Up(p, kS);
  EXPECT_EQ(p.sink.sent,
            (std::vector<std::uint32_t>{On(60), On(62), Off(60), Off(62), On(74), Off(74)}));
  EXPECT_TRUE(Idle(p.inst.keys));
}

TEST(KeyHandler, ShiftLetGoMidGroupStillReleasesAnOctaveUp) {
  PlayingInstrument p;
  p.hooks.shift = true;
  Down(p, kA);
  p.hooks.shift = false;
  p.hooks.ctrl = true;  // Ctrl now, but the group is raised
  Down(p, kS);
  EXPECT_EQ(p.inst.keys.held_raised, 2);
  EXPECT_EQ(p.inst.keys.shift_state, 1);
  Up(p, kA);
  EXPECT_EQ(p.inst.keys.shift_state, 1);  // S still held
  Up(p, kS);
  EXPECT_EQ(p.sink.sent, (std::vector<std::uint32_t>{On(72), On(74), Off(72), Off(74)}));
  EXPECT_TRUE(Idle(p.inst.keys));
  // The marks were drawn in the raised picture, released with it too.
  EXPECT_EQ(p.hooks.marks,
            (std::vector<DrawnMark>{{30, true, 1}, {31, true, 1}, {30, false, 1}, {31, false, 0}}));
}

TEST(KeyHandler, CtrlGroupAndBassFollowTheShift) {
  PlayingInstrument p;
  p.inst.settings.auto_bass = 1;
  p.inst.settings.velocity = 90;
  p.inst.settings.channel = 4;
  p.hooks.ctrl = true;
  Down(p, kD);
  Up(p, kD);
  EXPECT_EQ(p.sink.sent,
            (std::vector<std::uint32_t>{On(52, 4, 90), On(40, 15, 90), Off(52, 4), Off(40, 15)}));
}

TEST(KeyHandler, AutoRepeatOfAHeldKeyDoesNothing) {
  PlayingInstrument p;
  Down(p, kA);
  const auto marks = p.hooks.marks.size();
  for (int i = 0; i < 5; ++i) HandleKeyEvent(p.inst, kKeyDown, Repeat(kA));
  EXPECT_EQ(p.sink.sent, (std::vector<std::uint32_t>{On(60)}));
  EXPECT_EQ(p.hooks.marks.size(), marks);
  EXPECT_EQ(p.hooks.offered.size(), 1u);
  EXPECT_EQ(p.inst.keys.held_plain, 1);
  Up(p, kA);
  EXPECT_TRUE(Idle(p.inst.keys));
}

TEST(KeyHandler, KeyAlreadyDownWhenFocusArrivesIsCountedButSilent) {
  PlayingInstrument p;
  p.hooks.shift = true;
  HandleKeyEvent(p.inst, kKeyDown, Repeat(kA));
  EXPECT_EQ(p.inst.keys.held_raised, 1);
  EXPECT_EQ(p.inst.keys.shift_state, 1);
  EXPECT_TRUE(p.sink.sent.empty());
  EXPECT_TRUE(p.hooks.marks.empty());
  EXPECT_TRUE(p.hooks.offered.empty());
  Up(p, kA);
  EXPECT_EQ(p.sink.sent, (std::vector<std::uint32_t>{Off(72)}));
  EXPECT_TRUE(Idle(p.inst.keys));
}

TEST(KeyHandler, ReleasesAfterResetNeverDriveCountersNegative) {
  PlayingInstrument p;
  Down(p, kA);
  Down(p, kS);
  ResetHeldKeys(p.inst.keys);  // Esc while two keys are held
  Up(p, kA);
  Up(p, kS);
  EXPECT_EQ(p.inst.keys.held_plain, 0);
  // The next key starts a fresh group and consults Shift again.
  p.hooks.shift = true;
  p.sink.Clear();
  Down(p, kD);
  EXPECT_EQ(p.sink.sent, (std::vector<std::uint32_t>{On(76)}));
  EXPECT_EQ(p.inst.keys.held_raised, 1);
  Up(p, kD);
  EXPECT_TRUE(Idle(p.inst.keys));

  // A raised group reset mid-way: its shift stays until a release or a new
  // group; the late release still ends the raised note and leaves Idle.
  p.sink.Clear();
  Down(p, kA);
  ResetHeldKeys(p.inst.keys);
  EXPECT_EQ(p.inst.keys.shift_state, 1);
  Up(p, kA);
  EXPECT_EQ(p.sink.sent, (std::vector<std::uint32_t>{On(72), Off(72)}));
  EXPECT_TRUE(Idle(p.inst.keys));
}

TEST(KeyHandler, OffersEveryHandledEventWithItsShift) {
  PlayingInstrument p;
  p.hooks.ctrl = true;
  Down(p, kA);
  HandleKeyEvent(p.inst, kKeyDown, Repeat(kA));  // not offered
  Up(p, kA);
  Up(p, kS);  // a release with no press is still offered; the recorder decides
  EXPECT_EQ(p.hooks.offered,
            (std::vector<OfferedEvent>{
                {kKeyDown, Press(kA), -1}, {kKeyUp, Release(kA), -1}, {kKeyUp, Release(kS), 0}}));
}

TEST(NoteSounding, ReleaseUsesTheSettingsInForceAtTheRelease) {
  PlayingInstrument p;
  p.inst.settings.auto_bass = 1;
  Down(p, kA);
  p.inst.settings.auto_bass = 0;  // the bass note 48 is left to Esc
  Up(p, kA);
  Down(p, kA);
  p.inst.settings.key_mode = 1298;  // D major
  p.inst.settings.channel = 3;
  p.inst.settings.auto_bass = 1;
  Up(p, kA);
  EXPECT_EQ(p.sink.sent, (std::vector<std::uint32_t>{On(60), On(48, 15), Off(60), On(60),
                                                     Off(62, 3), Off(50, 15)}));
}

TEST(NoteSounding, RecordedEventsUseTheirOwnShiftAndLeaveTheKeyboardAlone) {
  PlayingInstrument p;
  p.inst.settings.auto_bass = 1;
  p.hooks.ctrl = true;  // live modifiers have no say in playback
  Down(p, kS);          // a live key is held, lowered
  const KeyboardState before = p.inst.keys;
  p.sink.Clear();
  p.hooks.marks.clear();

  PlayRecordedEvent(p.inst, kKeyDown, kA << 16, 1);
  PlayRecordedEvent(p.inst, kKeyUp, kA << 16, 1);
  PlayRecordedEvent(p.inst, 300, Press(kD), 0);       // anything but a release is a press
  PlayRecordedEvent(p.inst, kKeyDown, Press(54), 0);  // no such key: skipped
  PlayRecordedEvent(p.inst, kKeyDown, Press(1), 0);   // Esc plays nothing
  EXPECT_EQ(p.sink.sent, (std::vector<std::uint32_t>{On(72), On(60, 15), Off(72), Off(60, 15),
                                                     On(64), On(52, 15)}));
  EXPECT_EQ(p.hooks.marks, (std::vector<DrawnMark>{{30, true, 1}, {30, false, 1}, {32, true, 0}}));
  EXPECT_EQ(p.inst.keys.held_lowered, before.held_lowered);
  EXPECT_EQ(p.inst.keys.shift_state, before.shift_state);
  EXPECT_TRUE(p.hooks.offered.size() == 1u);  // only the live press
}

}  // namespace
}  // namespace tonvale
