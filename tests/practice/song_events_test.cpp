// A song as the key events listening plays: one press and one release per
// played note, key parameters as the key handler builds them, times from
// absolute ticks.
#include "practice/song_events.h"

#include <gtest/gtest.h>

#include "perform/instrument.h"
#include "practice_fixture.h"

namespace tonvale {
namespace {

using test::ReadOk;

TEST(SongEvents, OnePressAndReleasePerNoteReleasedJustBeforeItsEndOrHalfWayThrough) {
  // A crotchet is 500 ms; the held note, the rest and the tied pair.
  const Song song = ReadOk("4=120 1 1 - 0 | 4'' ~ 4'' 3, 0");
  const std::vector<PerformanceEvent> full = {
      {0, kKeyDown, 0x001E0001, 0},  {490, kKeyUp, 0xC01E0001, 0},   {10, kKeyDown, 0x001E0001, 0},
      {990, kKeyUp, 0xC01E0001, 0},  {510, kKeyDown, 0x00280001, 1}, {990, kKeyUp, 0xC0280001, 1},
      {10, kKeyDown, 0x00150001, 0}, {490, kKeyUp, 0xC0150001, 0}};
  EXPECT_EQ(SongEvents(song), full);
  // At half speed every time doubles; the gap before the end does not.
  const std::vector<PerformanceEvent> half = SongEvents(song, 50);
  const std::uint32_t deltas[] = {0, 990, 10, 1990, 1010, 1990, 10, 990};
  ASSERT_EQ(half.size(), std::size(deltas));
  for (std::size_t i = 0; i < half.size(); ++i) {
    EXPECT_EQ(half[i].delta_ms, deltas[i]);
    EXPECT_EQ(half[i].key_data, full[i].key_data);
  }
  // Demisemiquavers at 400 crotchets a minute, 18.75 ms: released half way.
  const std::vector<PerformanceEvent> brief = SongEvents(ReadOk("4=400 d1 d2"));
  ASSERT_EQ(brief.size(), 4u);
  EXPECT_EQ(brief[1].delta_ms, 10u);
  EXPECT_EQ(brief[2].delta_ms, 9u);
}

TEST(SongEvents, TimesComeFromAbsoluteTicksSoNothingDrifts) {
  // 85 crotchets a minute: 705.88 ms each, never a whole number.
  std::string text = "4=85";
  for (int i = 0; i < 100; ++i) text += " 1";
  const Song song = ReadOk(text);
  std::int64_t at = 0;
  std::int64_t last_press = 0;
  for (const PerformanceEvent& e : SongEvents(song, 75)) {
    at += e.delta_ms;
    if (e.message == kKeyDown) last_press = at;
  }
  EXPECT_EQ(last_press, 93176);  // 99 * 60000 / 85 / 0.75, rounded
  EXPECT_EQ(last_press, MsAtTick(song, 99 * 192, 75));
}

}  // namespace
}  // namespace tonvale
