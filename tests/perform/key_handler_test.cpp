#include "perform/key_handler.h"

#include <gtest/gtest.h>

#include "perform_fixture.h"

namespace tonvale {

using namespace test;

TEST(KeyHandler, ShiftIsLatchedForTheWholeGroup) {
  Player p;
  // S with Shift joins the plain group of A; alone, it starts a raised one.
  // Shift let go and Ctrl pressed mid-group: the group stays raised to its
  // last key, drawn so. Ctrl alone lowers.
  p.Play("+A shift +S -A -S +S -S +A none ctrl +S -A");
  EXPECT_EQ(p.inst.keys.shift_state, 1);
  p.Play("-S +D -D");
  EXPECT_EQ(p.inst.keys.shift_state, 0);
  EXPECT_EQ(p.Notes(), (Sent{On(60), On(62), Off(60), Off(62), On(74), Off(74), On(72), On(74),
                             Off(72), Off(74), On(52), Off(52)}));
  EXPECT_EQ(p.marks[9], (Call{31, false, 1}));
}

TEST(KeyHandler, RepeatsKeysAlreadyDownAndTheMouse) {
  Player p;
  // Repeats, marked or not, do nothing; the mouse on a key held on the
  // keyboard is a second key of the group. The first key arriving already
  // down (the focus came back while it was held) is counted for its group,
  // silent until its release.
  p.Play("+A *A +A +m");
  EXPECT_EQ(p.inst.keys.held_plain, 2);
  p.Play("-A -m shift *S");
  EXPECT_EQ(p.inst.keys.held_raised, 1);
  p.Play("-S");
  EXPECT_EQ(p.Notes(), (Sent{On(60), On(60), Off(60), Off(60), Off(74)}));
  EXPECT_EQ(p.marks.size() + p.offered.size(), 10u);
  EXPECT_EQ(p.inst.keys.held_raised, 0);
}

// Esc and stop end the group, not the keys: each key still ends its own
// note, and a group begun after the reset ends only with its own keys.
TEST(KeyHandler, KeysHeldThroughEscEndTheirOwnNotes) {
  Player p;
  p.Play("+A esc shift +S none -A +D -S -D");
  EXPECT_EQ(p.offered[2], (Call{kKeyUp, Release(30), 0}));
  EXPECT_EQ(p.offered[4], (Call{kKeyUp, Release(31), 1}));
  // A raised key through two resets: its release (and a stray second one)
  // leaves the plain group after it, so D with Ctrl joins that group. The
  // mouse the same way.
  p.Play("shift +A esc esc none +S -A -A ctrl +D -S -D none +m esc shift +S -m -S");
  EXPECT_EQ(p.Notes(), (Sent{On(60), On(74), Off(60), On(76), Off(74), Off(76), On(72), On(62),
                             Off(72), On(64), Off(62), Off(64), On(60), On(74), Off(60), Off(74)}));
  EXPECT_EQ(p.inst.keys.held_plain + p.inst.keys.held_raised + p.inst.keys.held_lowered, 0);
}

// While the output is closed key messages do nothing, but a key that comes
// up is no longer held: Shift counts again at the next key.
TEST(KeyHandler, KeysReleasedWhileTheOutputIsClosedLeaveTheGroup) {
  Player p;
  p.Play("+A +m close +D -A -m open -D shift +S");
  EXPECT_EQ(p.Notes(), (Sent{On(60), On(60), On(74)}));
  EXPECT_EQ(p.offered.size() + p.marks.size(), 6u);
}

TEST(NoteSounding, TheBassAndTheSettingsInForceAtTheRelease) {
  Player p;
  p.inst.settings = {.device_open = 1, .velocity = 90, .auto_bass = 1};
  p.Play("+A");
  p.inst.settings.auto_bass = 0;  // the bass note 48 is left to Esc
  p.Play("-A +A");
  p.inst.settings = {.device_open = 1, .channel = 3, .key_mode = 1298, .auto_bass = 1};
  p.Play("-A");
  EXPECT_EQ(p.Notes(),
            (Sent{On(60, 0, 90), On(48, 15, 90), Off(60), On(60, 0, 90), Off(62, 3), Off(50, 15)}));
}

}  // namespace tonvale
