#include "perform/keyboard_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace tonvale {

TEST(KeyboardLayout, PlacesKeyCellsAndTheMouseHitTest) {
  // A window narrower than the keyboard, of odd sizes, so that every
  // division truncates toward zero; nothing clamps.
  const WindowLayout l = ComputeLayout(400, 301, 7, 15);
  EXPECT_EQ((std::vector<int>{l.x0, l.y0, l.status_y, l.hint_y, l.picture_x, l.key_label_x,
                              l.caption_y, l.velocity_caption_x, l.pitch_bend_caption_x}),
            (std::vector<int>{-37, 87, 241, 256, 114, 285, 210, 337, 357}));
  // Keys tile the keyboard at (100, 200); clicking the middle of one finds it.
  std::set<std::pair<int, int>> cells;
  for (std::uint32_t i = 0; i < kKeyTable.size(); ++i) {
    if (kKeyTable[i].octave == -1) continue;
    const Rect c = KeyCell(kKeyTable[i], 100, 200);
    EXPECT_TRUE(c.x >= 100 && c.x + c.width <= 575 && c.y >= 200 && c.y + c.height <= 356);
    cells.insert({c.x, c.y});
    EXPECT_EQ(HitTestKey(c.x + 19, c.y + 19, 100, 200), i) << i;
  }
  EXPECT_EQ(cells.size(), 45u) << "two keys share a cell";
  // Bounds inclusive on all sides; column 24 clamps to 23; the bottom edge
  // is row 3; the first 19 pixels of an odd row and the next 38 give column
  // 1; row 2 column 0, row 3 column 1 and row 0 column 23 hold no key.
  constexpr std::uint32_t kNone = 0xFFFF;
  const std::tuple<int, int, std::uint32_t> hits[] = {
      {150, 290, 30},    {105, 245, 16}, {575, 200, kNone}, {100, 200, 2},  {99, 200, kNone},
      {100, 199, kNone}, {575, 239, 27}, {576, 239, kNone}, {160, 356, 44}, {160, 357, kNone},
      {156, 240, 16},    {157, 240, 17}, {137, 300, kNone}, {138, 300, 30}, {100, 320, kNone}};
  for (const auto& [x, y, key] : hits) {
    EXPECT_EQ(HitTestKey(x, y, 100, 200).value_or(kNone), key) << x << "," << y;
  }
}

TEST(KeyboardLayout, OctaveDotsAndTexts) {
  EXPECT_EQ(KeyMarkPictureX(true, 2), std::nullopt);  // only the label and dots then
  std::vector<std::vector<int>> dots;
  for (int octave : {3, 4, 5, 6}) {
    const OctaveDots d = OctaveDotsFor(octave);
    dots.emplace_back(d.tops.begin(), d.tops.begin() + d.count);
  }
  EXPECT_EQ(dots, (std::vector<std::vector<int>>{{24, 30}, {24}, {}, {3}}));
  EXPECT_EQ(KeyLabelText(32, 1314), "Bass    1=bA");
  EXPECT_EQ(KeyLabelText(0, 1332), "三角钢琴    6=#a");
  EXPECT_EQ(KeyLabelText(80, 1306), "主音 1(广场)");  // no key mode: the instrument alone
}

}  // namespace tonvale
