// The key for every note: the reach, Shift and Ctrl beyond it, the row
// preference among keys that sound alike, and the key modes of song keys.
#include "practice/note_key.h"

#include <gtest/gtest.h>

#include <set>

#include "perform/key_table.h"

namespace tonvale {
namespace {

TEST(NoteKey, EveryPitchOfTheReachHasAKeyThatSoundsItOnThePreferredRow) {
  for (int pitch = kLowestPitch - 3; pitch <= kHighestPitch + 3; ++pitch) {
    SCOPED_TRACE(pitch);
    const std::optional<SongKey> key = KeyForPitch(pitch);
    if (pitch < -30 || pitch > 33) {
      EXPECT_FALSE(key);
      continue;
    }
    ASSERT_TRUE(key);
    EXPECT_EQ(key->shift, pitch > 21 ? 1 : pitch < -18 ? -1 : 0);
    EXPECT_EQ(PitchOfKey(key->scan_code, key->shift), pitch);
  }
  // The edges of the reach and the row preference among keys alike.
  const std::pair<int, SongKey> cases[] = {
      {-18, {2, 0}},    // key 1, the lowest
      {21, {27, 0}},    // right bracket, the highest
      {22, {49, 1}},    // Shift on N, an octave lower
      {33, {27, 1}},    // Shift on right bracket
      {-19, {22, -1}},  // Ctrl on U, an octave higher
      {-30, {2, -1}},   // Ctrl on key 1
      {0, {30, 0}},     // A
      {4, {32, 0}},     // D before C
      {-1, {25, 0}},    // P ("7,")
      {-13, {18, 0}},   // E before 4
      {-8, {21, 0}},    // Y before 7
      {11, {36, 0}},    // J before M
      {16, {39, 0}},    // semicolon before slash
      {18, {12, 0}},    // minus: only the digit row has it
  };
  for (const auto& [pitch, key] : cases) {
    SCOPED_TRACE(pitch);
    EXPECT_EQ(KeyForPitch(pitch), key);
  }
  EXPECT_EQ(PitchOfKey(57, 0), std::nullopt);  // the space bar plays nothing
  EXPECT_EQ(PitchOfKey(30, -1), -12);
}

TEST(NoteKey, SongKeysSetTheModeOfTheirPitchClass) {
  std::set<std::int32_t> modes;
  for (int pc = 0; pc < 12; ++pc) {
    SCOPED_TRACE(pc);
    const std::int32_t major = MajorKeyMode(pc);
    const std::int32_t minor = MinorKeyMode(pc);
    // A major key's tonic is degree 1; a minor key's is degree 6, nine
    // semitones above its relative major's 1.
    EXPECT_EQ((*TonicOffset(major) + 12) % 12, pc);
    EXPECT_EQ((*TonicOffset(minor) + 9 + 12) % 12, pc);
    modes.insert(major);
    modes.insert(minor);
  }
  EXPECT_EQ(modes.size(), 24u);
  EXPECT_EQ(MinorKeyMode(4), 1317);   // 6=E: E minor
  EXPECT_EQ(MinorKeyMode(10), 1332);  // 6=Bb is A-sharp minor
}

TEST(NoteKey, KeysAreWrittenAsTheirCapsOnAUsKeyboard) {
  const std::pair<std::uint32_t, const char*> caps[] = {{2, "1"},  {13, "="}, {27, "]"}, {30, "a"},
                                                        {40, "'"}, {44, "z"}, {53, "/"}};
  for (const auto& [scan, cap] : caps) EXPECT_STREQ(KeyCapText(scan), cap);
  EXPECT_EQ(KeyCapText(1), nullptr);
  EXPECT_EQ(KeyCapText(57), nullptr);
  EXPECT_EQ(SongKeyText({30, 1}), "Shift+a");
  EXPECT_EQ(SongKeyText({18, -1}), "Ctrl+e");
  EXPECT_EQ(SongKeyText({40, 0}), "'");
}

}  // namespace
}  // namespace tonvale
