// The band's lines: items placed with their widths, lines broken at bar
// lines (inside a bar only when it cannot fit), beams.
#include "practice/band_layout.h"

#include <gtest/gtest.h>

#include "practice_fixture.h"

namespace tonvale {
namespace {

using test::ReadOk;
using K = BandItemKind;

constexpr BandWidths kWidths{50, 10, 4, 6, 2, 3};
constexpr std::string_view kSong = "q1 q2 3 #4 - | 5 - - - | 3[ q1 q2 q3 ] s1 s2 s3 s4 1 - |";

// A line's items as "kind note@x": H header, N note, D dash, B bar line.
std::string LineItems(const BandLayout& layout, std::size_t line) {
  std::string text;
  for (std::size_t i = layout.lines[line].first_item; i < layout.lines[line].end_item; ++i) {
    const BandItem& item = layout.items[i];
    text += std::string(text.empty() ? "" : " ") + "HNDB"[int(item.kind)] +
            std::to_string(item.note) + '@' + std::to_string(item.x);
  }
  return text;
}

TEST(BandLayout, BarsStayWholeWhenTheyFitAndItemsKeepTheirTimes) {
  const Song song = ReadOk(kSong);
  const BandLayout layout = LayoutBand(song, kWidths, 170);
  ASSERT_EQ(layout.lines.size(), 2u);
  // Note 3 with its accidental: 14 wide.
  EXPECT_EQ(LineItems(layout, 0),
            "H-1@0 N0@53 N1@66 N2@79 N3@92 D3@109 B-1@118 N4@123 D4@136 D4@145 D4@154 B-1@163");
  EXPECT_EQ(layout.lines[0].width, 165);
  EXPECT_EQ(layout.lines[0].first_note, 0);
  EXPECT_EQ(layout.lines[0].last_note, 4);
  EXPECT_EQ(layout.lines[1].first_note, 5);
  EXPECT_EQ(layout.lines[1].width, 168);
  EXPECT_EQ(layout.items[10].dash, 3);
  EXPECT_EQ(layout.items[10].tick, 768 + 192 * 3);
  EXPECT_EQ(layout.items[6].tick, 768);  // the bar line at the bar's end
  EXPECT_EQ(LineOfNote(layout, 4), 0u);
  EXPECT_EQ(LineOfNote(layout, 12), 1u);
  EXPECT_EQ(LineOfNote(layout, 99), 0u);
  // A song ends with a bar line, written or not.
  const BandLayout open = LayoutBand(ReadOk("1 2 3"), kWidths, 1000);
  EXPECT_EQ(open.items.size(), 5u);
  EXPECT_EQ(open.items.back().kind, K::kBarLine);
  EXPECT_EQ(open.items.back().tick, 576);
}

TEST(BandLayout, ABarTooLongForALineBreaksBetweenItsItemsButNeverBeforeABarLine) {
  const Song song = ReadOk(kSong);
  BandLayout layout = LayoutBand(song, kWidths, 100);
  EXPECT_EQ(LineItems(layout, 0), "H-1@0 N0@53 N1@66 N2@79");
  EXPECT_EQ(LineItems(layout, 1), "H-1@0 N3@53 D3@70 B-1@79");
  EXPECT_EQ(LineOfNote(layout, 3), 1u);
  EXPECT_EQ(LineOfNote(layout, 4), 2u);
  // Narrower than anything: one item a line, a bar line still after its note.
  layout = LayoutBand(song, kWidths, 1);
  for (const BandLine& line : layout.lines) {
    EXPECT_GE(line.end_item - line.first_item, 2u);
    EXPECT_NE(layout.items[line.first_item + 1].kind, K::kBarLine);
  }
  EXPECT_EQ(layout.items.size(), 21u + layout.lines.size());
}

TEST(BandLayout, UnderlinesAreBeamedWithinABeatOrATriplet) {
  const auto beams = [](std::string_view text) {
    const Song song = ReadOk(text);
    const BandLayout layout = LayoutBand(song, kWidths, 100000);
    std::string out;
    for (const BandItem& item : layout.items) {
      if (item.kind == K::kNote) out += static_cast<char>('0' + item.beam_to_next);
    }
    return out;
  };
  EXPECT_EQ(beams(kSong),
            "10000"
            "110"
            "2220"
            "0");
  EXPECT_EQ(beams("6/8 q1 q2 q3 q4 s5 s5 q6"), "1101210");
  EXPECT_EQ(beams("2/4 q1. s2 s1 s2 q3 | q1 q1"), "1021010");
  // Across a bar line or a line break, no beam.
  EXPECT_EQ(beams("2/4,8 q1 | q1 q1 q1 q1"), "01010");
  const Song song = ReadOk("q1 q2 q3 q4");
  const BandLayout narrow = LayoutBand(song, kWidths, 70);
  EXPECT_EQ(narrow.items[1].beam_to_next, 0);
}

}  // namespace
}  // namespace tonvale
