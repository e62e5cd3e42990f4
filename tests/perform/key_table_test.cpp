#include "perform/key_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "perform/key_handler.h"
#include "perform_fixture.h"

namespace tonvale {
namespace {

using test::PlayingInstrument;
using test::Press;
using test::Release;

// Scan code, note in C major, row, column: the binding of each playing key.
struct Binding {
  std::uint32_t scan;
  int note;
  int row;
  int column;
};
constexpr Binding kBindings[45] = {
    {2, 42, 0, 0},   {3, 44, 0, 2},   {4, 46, 0, 4},   {5, 47, 0, 6},   {6, 49, 0, 8},
    {7, 51, 0, 10},  {8, 52, 0, 12},  {9, 54, 0, 14},  {10, 56, 0, 16}, {11, 58, 0, 18},
    {12, 78, 0, 20}, {13, 80, 0, 22}, {16, 43, 1, 1},  {17, 45, 1, 3},  {18, 47, 1, 5},
    {19, 48, 1, 7},  {20, 50, 1, 9},  {21, 52, 1, 11}, {22, 53, 1, 13}, {23, 55, 1, 15},
    {24, 57, 1, 17}, {25, 59, 1, 19}, {26, 79, 1, 21}, {27, 81, 1, 23}, {30, 60, 2, 2},
    {31, 62, 2, 4},  {32, 64, 2, 6},  {33, 65, 2, 8},  {34, 67, 2, 10}, {35, 69, 2, 12},
    {36, 71, 2, 14}, {37, 72, 2, 16}, {38, 74, 2, 18}, {39, 76, 2, 20}, {40, 77, 2, 22},
    {44, 61, 3, 3},  {45, 63, 3, 5},  {46, 64, 3, 7},  {47, 66, 3, 9},  {48, 68, 3, 11},
    {49, 70, 3, 13}, {50, 71, 3, 15}, {51, 73, 3, 17}, {52, 75, 3, 19}, {53, 76, 3, 21},
};

// A major mode and its relative minor share one offset.
struct ModePair {
  int major;
  int minor;
  int offset;
};
constexpr ModePair kModePairs[12] = {
    {1297, 1320, 0}, {1298, 1321, 2},  {1299, 1329, 4},  {1300, 1316, 5},
    {1301, 1317, 7}, {1302, 1328, 9},  {1303, 1330, -1}, {1304, 1331, 6},
    {1305, 1332, 1}, {1312, 1319, -2}, {1313, 1315, 3},  {1314, 1318, -4},
};

TEST(KeyTable, PlayingKeysAndSilentScanCodes) {
  std::set<std::uint32_t> playing;
  for (const Binding& b : kBindings) {
    const KeyEntry* entry = FindKey(b.scan);
    ASSERT_NE(entry, nullptr) << b.scan;
    EXPECT_EQ(12 * entry->octave + entry->semitone, b.note) << b.scan;
    EXPECT_EQ(entry->row, b.row) << b.scan;
    EXPECT_EQ(entry->column, b.column) << b.scan;
    playing.insert(b.scan);
  }
  for (std::uint32_t scan = 0; scan < 300; ++scan) {
    if (playing.count(scan) == 0) {
      EXPECT_EQ(FindKey(scan), nullptr) << scan;
    }
  }
  // Silent entries are all -1 with no label.
  for (std::uint32_t scan : {0u, 1u, 14u, 15u, 28u, 29u, 41u, 42u, 43u}) {
    const KeyEntry& e = kKeyTable[scan];
    EXPECT_EQ(e.octave, -1);
    EXPECT_EQ(e.semitone, -1);
    EXPECT_EQ(e.row, -1);
    EXPECT_EQ(e.column, -1);
    EXPECT_EQ(e.label, nullptr);
  }
}

TEST(KeyTable, LabelsFollowTheSemitone) {
  const char* names[12] = {"1", "b2", "2", "b3", "3", "4", "b5", "5", "b6", "6", "b7", "7"};
  for (const Binding& b : kBindings) {
    const KeyEntry* e = FindKey(b.scan);
    EXPECT_STREQ(e->label, names[e->semitone]) << b.scan;
  }
}

TEST(KeyTable, TonicOffsetsAndNonModes) {
  std::set<int> modes;
  for (const ModePair& m : kModePairs) {
    EXPECT_EQ(TonicOffset(m.major), m.offset) << m.major;
    EXPECT_EQ(TonicOffset(m.minor), m.offset) << m.minor;
    modes.insert(m.major);
    modes.insert(m.minor);
  }
  EXPECT_EQ(std::set<int>(kKeyModes.begin(), kKeyModes.end()), modes);
  for (int v = 1200; v < 1400; ++v) {
    if (modes.count(v) == 0) {
      EXPECT_FALSE(TonicOffset(v).has_value()) << v;
      EXPECT_EQ(KeyModeTonicText(v), nullptr) << v;
    }
  }
  EXPECT_STREQ(KeyModeTonicText(1297), "1=C");
  EXPECT_STREQ(KeyModeTonicText(1314), "1=bA");
  EXPECT_STREQ(KeyModeTonicText(1320), "6=a");
  EXPECT_STREQ(KeyModeTonicText(1332), "6=#a");
}

// Every key in every mode under every shift, through the real key handler,
// with the automatic bass on.
TEST(KeyTable, EveryKeyEveryModeEveryShiftSoundsItsNote) {
  int lowest = 1000, highest = -1;
  for (const ModePair& pair : kModePairs) {
    for (int mode : {pair.major, pair.minor}) {
      for (int shift : {-1, 0, 1}) {
        for (const Binding& b : kBindings) {
          PlayingInstrument p;
          p.inst.settings.key_mode = mode;
          p.inst.settings.auto_bass = 1;
          p.hooks.shift = shift == 1;
          p.hooks.ctrl = shift == -1;
          HandleKeyEvent(p.inst, kKeyDown, Press(b.scan));
          HandleKeyEvent(p.inst, kKeyUp, Release(b.scan));
          const int note = b.note + 12 * shift + pair.offset;
          const auto n = static_cast<std::uint32_t>(note);
          const auto bass = static_cast<std::uint32_t>(note - 12);
          ASSERT_EQ(p.sink.sent,
                    (std::vector<std::uint32_t>{0x90u | (n << 8) | (127u << 16),
                                                0x9Fu | (bass << 8) | (127u << 16),
                                                0x80u | (n << 8), 0x8Fu | (bass << 8)}))
              << "scan " << b.scan << " mode " << mode << " shift " << shift;
          lowest = std::min(lowest, note);
          highest = std::max(highest, note);
        }
      }
    }
  }
  EXPECT_EQ(lowest, 26);
  EXPECT_EQ(highest, 102);
}

TEST(KeyTable, NonModesSendNothingButStillDrawAndRecord) {
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
}

TEST(KeyTable, TabledExamples) {
  auto note_of = [](int mode, std::uint32_t scan, bool shift, bool ctrl) {
    PlayingInstrument p;
    p.inst.settings.key_mode = mode;
    p.hooks.shift = shift;
    p.hooks.ctrl = ctrl;
    HandleKeyEvent(p.inst, kKeyDown, Press(scan));
    return static_cast<int>((p.sink.sent.at(0) >> 8) & 0xFF);
  };
  EXPECT_EQ(note_of(1297, 30, false, false), 60);
  EXPECT_EQ(note_of(1297, 30, true, false), 72);
  EXPECT_EQ(note_of(1297, 30, false, true), 48);
  EXPECT_EQ(note_of(1297, 30, true, true), 72);    // Shift wins
  EXPECT_EQ(note_of(1319, 35, false, false), 67);  // G minor, degree 6 is G
  EXPECT_EQ(note_of(1329, 35, false, false), 73);  // C-sharp minor
  EXPECT_EQ(note_of(1302, 27, true, false), 102);  // the highest note
  EXPECT_EQ(note_of(1314, 2, false, true), 26);    // the lowest
  // Keys that repeat their neighbour's degree.
  EXPECT_EQ(note_of(1297, 5, false, false), note_of(1297, 18, false, false));
  EXPECT_EQ(note_of(1297, 8, false, false), note_of(1297, 21, false, false));
  EXPECT_EQ(note_of(1297, 46, false, false), note_of(1297, 32, false, false));
  EXPECT_EQ(note_of(1297, 50, false, false), note_of(1297, 36, false, false));
  EXPECT_EQ(note_of(1297, 53, false, false), note_of(1297, 39, false, false));
}

TEST(KeyTable, OnlyBits16To23SelectTheKey) {
  PlayingInstrument p;
  // Keypad slash: scan 53 with the extended-key bit; plays like slash.
  HandleKeyEvent(p.inst, kKeyDown, Press(53) | (1u << 24));
  ASSERT_EQ(p.sink.sent.size(), 1u);
  EXPECT_EQ((p.sink.sent[0] >> 8) & 0xFF, 76u);
  // Right Shift (54), function keys and keypad digits play nothing.
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
