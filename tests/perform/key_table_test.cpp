#include "perform/key_table.h"

#include <gtest/gtest.h>

#include "perform_fixture.h"

namespace tonvale {

using namespace test;

TEST(KeyTable, WorkedExamplesAndBoundaries) {
  // {mode, key, modifiers (1 Shift, -1 Ctrl, 2 both), note}. The keys that
  // repeat their neighbour's degree (4/E, 7/Y, C/D, M/J, slash/semicolon),
  // relative minors, a tonic below C, the highest and lowest notes, keypad
  // slash.
  const std::tuple<int, std::uint32_t, int, std::uint32_t> rows[] = {
      {1297, Press(30), 0, 60},  {1297, Press(30), 1, 72},
      {1297, Press(30), -1, 48}, {1297, Press(30), 2, 72},
      {1297, Press(5), 0, 47},   {1297, Press(18), 0, 47},
      {1297, Press(8), 0, 52},   {1297, Press(21), 0, 52},
      {1297, Press(46), 0, 64},  {1297, Press(32), 0, 64},
      {1297, Press(50), 0, 71},  {1297, Press(36), 0, 71},
      {1297, Press(53), 0, 76},  {1297, Press(39), 0, 76},
      {1319, Press(35), 0, 67},  {1329, Press(35), 0, 73},
      {1303, Press(30), 0, 59},  {1302, Press(27), 1, 102},
      {1314, Press(2), -1, 26},  {1297, Press(53) | kExtendedKeyBit, 0, 76}};
  for (const auto& [mode, key, mods, note] : rows) {
    Player p;
    p.inst.settings = {.device_open = 1, .key_mode = mode, .auto_bass = 1};
    p.shift = mods > 0;
    p.ctrl = mods < 0 || mods == 2;
    HandleKeyEvent(p.inst, kKeyDown, key);
    EXPECT_EQ(p.sink.sent, (Sent{On(note), On(note - 12, 15)})) << mode << " " << (key >> 16);
  }
}

TEST(KeyTable, FortyFiveKeysLabelledByDegreeEveryNoteInRange) {
  const char* labels[12] = {"1", "b2", "2", "b3", "3", "4", "b5", "5", "b6", "6", "b7", "7"};
  for (const KeyEntry& e : kKeyTable) {
    EXPECT_TRUE(e.octave == -1 || std::string(e.label) == labels[e.semitone]) << e.semitone;
  }
  // Over every key, mode and shift: only the 45 playing keys sound, between
  // the lowest and the highest note; Space (57) moves the pedal instead.
  for (int mode : kKeyModes) {
    for (const char* mods : {"ctrl", "none", "shift"}) {
      Player p;
      p.inst.settings.key_mode = mode;
      p.Play(mods);
      for (std::uint32_t scan = 0; scan < 64; ++scan) {
        HandleKeyEvent(p.inst, kKeyDown, Press(scan));
        HandleKeyEvent(p.inst, kKeyUp, Release(scan));
      }
      ASSERT_EQ(p.Notes().size(), 2u * 45);
      ASSERT_EQ(p.sink.sent.size(), 2u * 45 + 2);
      for (std::uint32_t m : p.Notes())
        EXPECT_TRUE((m >> 8 & 0xFF) >= 26 && (m >> 8 & 0xFF) <= 102);
    }
  }
  // The gaps of the mode range and other values are no key mode: silent,
  // but drawn and recorded.
  for (int mode : {1306, 1311, 1322, 1327, 0, 1333}) {
    Player p;
    p.inst.settings = {.device_open = 1, .key_mode = mode, .auto_bass = 1};
    p.Play("+A -A");
    EXPECT_TRUE(p.sink.sent.empty()) << mode;
    EXPECT_EQ(p.marks.size() + p.offered.size(), 4u) << mode;
  }
}

}  // namespace tonvale
