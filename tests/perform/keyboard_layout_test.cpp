#include "perform/keyboard_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <utility>

namespace tonvale {
namespace {

// The keyboard origin and the text positions; the bars and buttons are
// checked against the real widgets in tests/shell/main_window_test.cpp.
std::array<int, 9> Places(const WindowLayout& l) {
  return {l.x0,
          l.y0,
          l.status_y,
          l.hint_y,
          l.picture_x,
          l.key_label_x,
          l.caption_y,
          l.velocity_caption_x,
          l.pitch_bend_caption_x};
}

TEST(KeyboardLayout, PlacesAtAWideAndANarrowWindow) {
  // 1280 x 1000 client, character cell 10 x 16.
  const WindowLayout wide = ComputeLayout(1280, 1000, 10, 16);
  EXPECT_EQ(Places(wide), (std::array<int, 9>{402, 438, 936, 952, 554, 725, 700, 1080, 1144}));
  EXPECT_EQ(wide.status_device_x, 50);
  EXPECT_EQ(wide.status_channel_x, 200);
  // Odd sizes, so that every division truncates toward zero; nothing clamps.
  EXPECT_EQ(Places(ComputeLayout(400, 301, 7, 15)),
            (std::array<int, 9>{-37, 87, 241, 256, 114, 285, 210, 337, 357}));
  const WindowLayout tiny = ComputeLayout(100, 100, 8, 16);
  EXPECT_EQ(tiny.x0, -187);
  EXPECT_EQ(tiny.y0, -12);  // 16 + (-56 / 2)
  EXPECT_EQ(tiny.picture_x, -35);
}

TEST(KeyboardLayout, KeyCellsTileTheKeyboardPicture) {
  const int x0 = 100, y0 = 200;
  EXPECT_EQ(KeyCell(kKeyTable[30], x0, y0), (Rect{138, 278, 38, 39}));  // A
  EXPECT_EQ(KeyCell(kKeyTable[27], x0, y0), (Rect{537, 239, 38, 39}));  // right bracket
  EXPECT_EQ(KeyCell(kKeyTable[2], x0, y0), (Rect{100, 200, 38, 39}));   // key 1
  int playing = 0;
  std::set<std::pair<int, int>> cells;
  for (std::uint32_t i = 0; i < kKeyTable.size(); ++i) {
    const KeyEntry& e = kKeyTable[i];
    if (e.octave == -1) continue;
    ++playing;
    const Rect c = KeyCell(e, x0, y0);
    EXPECT_TRUE(c.x >= x0 && c.x + c.width <= x0 + kKeyboardWidth) << i;
    EXPECT_TRUE(c.y >= y0 && c.y + c.height <= y0 + kKeyboardHeight) << i;
    EXPECT_TRUE(cells.insert({e.row, e.column}).second) << "two keys share a cell";
    // Clicking the middle of a key's picture finds that very key.
    EXPECT_EQ(HitTestKey(c.x + c.width / 2, c.y + c.height / 2, x0, y0), i) << i;
  }
  EXPECT_EQ(playing, 45);
}

TEST(KeyboardLayout, MouseHitTestBoundaries) {
  constexpr std::uint32_t kNone = 0xFFFF;
  struct Hit {
    int x, y;
    std::uint32_t key;
  };
  // Keyboard at (100, 200). A, Q, and column 24 -> 23 with no key in row 0;
  // bounds inclusive on all sides (key 1; right bracket, column clamped to
  // 23; the bottom edge is row 3: Z); odd rows: the first 19 pixels and the
  // next 38 give column 1; even rows step every 38; row 3 columns 1 and 23.
  const Hit hits[] = {{150, 290, 30},   {105, 245, 16},    {575, 200, kNone}, {100, 200, 2},
                      {99, 200, kNone}, {100, 199, kNone}, {575, 239, 27},    {576, 239, kNone},
                      {160, 355, 44},   {160, 356, 44},    {160, 357, kNone}, {118, 240, 16},
                      {119, 240, 16},   {156, 240, 16},    {157, 240, 17},    {137, 300, kNone},
                      {138, 300, 30},   {518, 200, 13},    {100, 320, kNone}, {570, 320, kNone}};
  for (const Hit& h : hits) {
    EXPECT_EQ(HitTestKey(h.x, h.y, 100, 200).value_or(kNone), h.key) << h.x << "," << h.y;
  }
  // A negative origin (window narrower than the keyboard).
  EXPECT_EQ(HitTestKey(0, 170, -37, 87), std::nullopt);  // row 2, column 0
  EXPECT_EQ(HitTestKey(1, 170, -37, 87), 30u);
}

TEST(KeyboardLayout, KeyMarkPicturesOctaveDotsAndTexts) {
  EXPECT_EQ(KeyMarkPictureX(false, 0), 0);
  EXPECT_EQ(KeyMarkPictureX(false, 1), 0);
  EXPECT_EQ(KeyMarkPictureX(true, 0), 38);
  EXPECT_EQ(KeyMarkPictureX(true, 1), 76);
  EXPECT_EQ(KeyMarkPictureX(true, -1), 114);
  EXPECT_EQ(KeyMarkPictureX(true, 2), std::nullopt);
  EXPECT_EQ(KeyMarkPictureX(true, -2), std::nullopt);

  EXPECT_EQ(OctaveDotsFor(7).count, 0);
  EXPECT_EQ(OctaveDotsFor(5).count, 0);
  const OctaveDots high = OctaveDotsFor(6), low = OctaveDotsFor(4), lowest = OctaveDotsFor(3);
  ASSERT_EQ(high.count, 1);
  EXPECT_EQ(high.tops[0], 3);
  ASSERT_EQ(low.count, 1);
  EXPECT_EQ(low.tops[0], 24);
  ASSERT_EQ(lowest.count, 2);
  EXPECT_EQ(lowest.tops[0], 24);
  EXPECT_EQ(lowest.tops[1], 30);

  EXPECT_EQ(KeyLabelText(0, 1297), "三角钢琴    1=C");
  EXPECT_EQ(KeyLabelText(0, 1304), "三角钢琴    1=#F");
  EXPECT_EQ(KeyLabelText(0, 1312), "三角钢琴    1=bB");
  EXPECT_EQ(KeyLabelText(0, 1329), "三角钢琴    6=#c");
  EXPECT_EQ(KeyLabelText(32, 1332), "Bass    6=#a");
  EXPECT_EQ(KeyLabelText(0, 1306), "三角钢琴");  // no key mode: the instrument alone
  EXPECT_EQ(KeyLabelText(80, 0), "主音 1(广场)");
  EXPECT_EQ(ChannelText(0), "声道 1");
  EXPECT_EQ(ChannelText(14), "声道 15");
}

}  // namespace
}  // namespace tonvale
