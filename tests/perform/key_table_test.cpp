#include "perform/key_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>
#include <utility>

#include "perform/key_handler.h"
#include "perform_fixture.h"

namespace tonvale {
namespace {

using test::PlayingInstrument;
using test::Press;
using test::Release;

TEST(KeyTable, PlayingKeysAndSilentScanCodes) {
  const char* names[12] = {"1", "b2", "2", "b3", "3", "4", "b5", "5", "b6", "6", "b7", "7"};
  int playing = 0;
  for (std::uint32_t scan = 0; scan < 300; ++scan) {
    const KeyEntry* e = FindKey(scan);
    if (e == nullptr) continue;
    ++playing;
    EXPECT_TRUE(e->octave >= 3 && e->octave <= 6) << scan;
    EXPECT_TRUE(e->row >= 0 && e->row <= 3 && e->column >= 0 && e->column <= 23) << scan;
    EXPECT_EQ(e->column % 2, e->row % 2) << "rows are staggered by half a key: " << scan;
    EXPECT_STREQ(e->label, names[e->semitone]) << scan;
  }
  EXPECT_EQ(playing, 45);
  for (const KeyEntry& e : kKeyTable) {
    if (e.octave != -1) continue;
    EXPECT_TRUE(e.semitone == -1 && e.row == -1 && e.column == -1 && e.label == nullptr);
  }
  EXPECT_EQ(FindKey(1), nullptr);   // Esc
  EXPECT_EQ(FindKey(14), nullptr);  // Backspace
  // Scan code, note in C major, row, column: the ends of each row and the
  // top rows' last two keys, which jump up to the next octave.
  const std::tuple<std::uint32_t, int, int, int> spots[] = {
      {2, 42, 0, 0},   {11, 58, 0, 18}, {12, 78, 0, 20}, {13, 80, 0, 22},
      {16, 43, 1, 1},  {25, 59, 1, 19}, {27, 81, 1, 23}, {30, 60, 2, 2},
      {40, 77, 2, 22}, {44, 61, 3, 3},  {53, 76, 3, 21}};
  for (const auto& [scan, note, row, column] : spots) {
    const KeyEntry* e = FindKey(scan);
    ASSERT_NE(e, nullptr) << scan;
    EXPECT_EQ(12 * e->octave + e->semitone, note) << scan;
    EXPECT_EQ(e->row, row) << scan;
    EXPECT_EQ(e->column, column) << scan;
  }
}

TEST(KeyTable, TonicOffsetsAndNonModes) {
  const std::set<int> modes(kKeyModes.begin(), kKeyModes.end());
  EXPECT_EQ(modes.size(), 24u);
  for (int v = 1200; v < 1400; ++v) {
    EXPECT_EQ(TonicOffset(v).has_value(), modes.count(v) == 1) << v;
    EXPECT_EQ(KeyModeTonicText(v) != nullptr, modes.count(v) == 1) << v;
  }
  // A major mode and its relative minor share one offset.
  const std::tuple<int, int, int> pairs[] = {{1297, 1320, 0},  {1298, 1321, 2},  {1305, 1332, 1},
                                             {1303, 1330, -1}, {1312, 1319, -2}, {1314, 1318, -4},
                                             {1302, 1328, 9},  {1304, 1331, 6}};
  for (const auto& [major, minor, offset] : pairs) {
    EXPECT_EQ(TonicOffset(major), offset) << major;
    EXPECT_EQ(TonicOffset(minor), offset) << minor;
  }
  EXPECT_STREQ(KeyModeTonicText(1297), "1=C");
  EXPECT_STREQ(KeyModeTonicText(1314), "1=bA");
  EXPECT_STREQ(KeyModeTonicText(1320), "6=a");
  EXPECT_STREQ(KeyModeTonicText(1332), "6=#a");
}

// Every key in every mode under every shift, through the real key handler,
// with the automatic bass on.
TEST(KeyTable, EveryKeyEveryModeEveryShiftSoundsItsNote) {
  int lowest = 1000, highest = -1, played = 0;
  for (int mode : kKeyModes) {
    for (int shift : {-1, 0, 1}) {
      for (std::uint32_t scan = 0; scan < kKeyTable.size(); ++scan) {
        const KeyEntry* e = FindKey(scan);
        if (e == nullptr) continue;
        PlayingInstrument p;
        p.inst.settings.key_mode = mode;
        p.inst.settings.auto_bass = 1;
        p.hooks.shift = shift == 1;
        p.hooks.ctrl = shift == -1;
        HandleKeyEvent(p.inst, kKeyDown, Press(scan));
        HandleKeyEvent(p.inst, kKeyUp, Release(scan));
        const int note = 12 * (e->octave + shift) + e->semitone + *TonicOffset(mode);
        const auto n = static_cast<std::uint32_t>(note), bass = n - 12;
        ASSERT_EQ(p.sink.sent,
                  (std::vector<std::uint32_t>{0x7F0090u | (n << 8), 0x7F009Fu | (bass << 8),
                                              0x80u | (n << 8), 0x8Fu | (bass << 8)}))
            << "scan " << scan << " mode " << mode << " shift " << shift;
        lowest = std::min(lowest, note);
        highest = std::max(highest, note);
        ++played;
      }
    }
  }
  EXPECT_EQ(played, 45 * 24 * 3);
  EXPECT_EQ(lowest, 26);
  EXPECT_EQ(highest, 102);
}

TEST(KeyTable, TabledExamplesAndSilentCases) {
  auto note_of = [](int mode, std::uint32_t key_data, bool shift, bool ctrl) {
    PlayingInstrument p;
    p.inst.settings.key_mode = mode;
    p.hooks.shift = shift;
    p.hooks.ctrl = ctrl;
    HandleKeyEvent(p.inst, kKeyDown, key_data);
    return p.sink.sent.size() == 1 ? static_cast<int>((p.sink.sent[0] >> 8) & 0xFF) : -1;
  };
  EXPECT_EQ(note_of(1297, Press(30), true, true), 72);    // Shift wins over Ctrl
  EXPECT_EQ(note_of(1319, Press(35), false, false), 67);  // G minor, degree 6 is G
  EXPECT_EQ(note_of(1329, Press(35), false, false), 73);  // C-sharp minor
  EXPECT_EQ(note_of(1302, Press(27), true, false), 102);  // the highest note
  EXPECT_EQ(note_of(1314, Press(2), false, true), 26);    // the lowest
  // Keys that repeat their neighbour's degree.
  for (auto [a, b] : {std::pair{5u, 18u}, {8u, 21u}, {46u, 32u}, {50u, 36u}, {53u, 39u}}) {
    EXPECT_EQ(note_of(1297, Press(a), false, false), note_of(1297, Press(b), false, false)) << a;
  }
  // Only bits 16..23 select the key: keypad slash, extended, plays like slash.
  EXPECT_EQ(note_of(1297, Press(53) | (1u << 24), false, false), 76);

  // Non-modes send nothing but still draw and record.
  for (int mode : {1306, 1311, 1322, 1327, 0, 1296, 1333}) {
    PlayingInstrument p;
    p.inst.settings.key_mode = mode;
    p.inst.settings.auto_bass = 1;
    HandleKeyEvent(p.inst, kKeyDown, Press(30));
    HandleKeyEvent(p.inst, kKeyUp, Release(30));
    EXPECT_TRUE(p.sink.sent.empty()) << mode;
    EXPECT_EQ(p.hooks.marks.size(), 2u) << mode;
    EXPECT_EQ(p.hooks.offered.size(), 2u) << mode;
  }
  // Right Shift, function keys, keypad digits, Shift, Ctrl, Esc: nothing.
  PlayingInstrument q;
  for (std::uint32_t scan : {54u, 59u, 71u, 82u, 42u, 29u, 1u}) {
    HandleKeyEvent(q.inst, kKeyDown, Press(scan));
    HandleKeyEvent(q.inst, kKeyUp, Release(scan));
  }
  EXPECT_TRUE(q.sink.sent.empty());
  EXPECT_TRUE(q.hooks.marks.empty());
  EXPECT_EQ(q.inst.keys.held_plain, 0);
}

}  // namespace
}  // namespace tonvale
