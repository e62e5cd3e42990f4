#include "perform/keyboard_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace tonvale {
namespace {

TEST(KeyboardLayout, WideWindowPlacesEverythingByTheFormulas) {
  // 1280 x 1000 client, character cell 10 x 16.
  const WindowLayout l = ComputeLayout(1280, 1000, 10, 16);
  EXPECT_EQ(l.x0, 402);  // 805 / 2
  EXPECT_EQ(l.y0, 438);  // 16 + 844 / 2
  EXPECT_EQ(l.velocity_bar, (Rect{1088, 300, 32, 400}));
  EXPECT_EQ(l.pitch_bend_bar, (Rect{1152, 300, 32, 400}));
  const Rect buttons[5] = {{450, 800, 60, 28},
                           {530, 800, 60, 28},
                           {610, 800, 60, 28},
                           {690, 800, 60, 28},
                           {770, 800, 60, 28}};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(l.transport_buttons[i], buttons[i]) << "button " << i;
  EXPECT_EQ(l.status_y, 936);
  EXPECT_EQ(l.hint_y, 952);
  EXPECT_EQ(l.status_device_x, 50);
  EXPECT_EQ(l.status_channel_x, 200);
  EXPECT_EQ(l.picture_x, 554);
  EXPECT_EQ(l.key_label_x, 725);
  EXPECT_EQ(l.caption_y, 700);
  EXPECT_EQ(l.velocity_caption_x, 1080);
  EXPECT_EQ(l.pitch_bend_caption_x, 1144);
}

TEST(KeyboardLayout, NarrowWindowTruncatesTowardZeroAndClampsNothing) {
  // Odd sizes, so that every division truncates.
  const WindowLayout l = ComputeLayout(400, 301, 7, 15);
  EXPECT_EQ(l.x0, -37);  // -75 / 2 toward zero
  EXPECT_EQ(l.y0, 87);   // 15 + 145 / 2
  EXPECT_EQ(l.velocity_bar, (Rect{340, 90, 10, 120}));
  EXPECT_EQ(l.pitch_bend_bar, (Rect{360, 90, 10, 120}));
  const int xs[5] = {67, 123, 179, 235, 291};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(l.transport_buttons[i], (Rect{xs[i], 240, 42, 26}));
  EXPECT_EQ(l.status_y, 241);
  EXPECT_EQ(l.hint_y, 256);
  EXPECT_EQ(l.picture_x, 114);
  EXPECT_EQ(l.key_label_x, 285);
  EXPECT_EQ(l.caption_y, 210);
  EXPECT_EQ(l.velocity_caption_x, 337);
  EXPECT_EQ(l.pitch_bend_caption_x, 357);

  const WindowLayout tiny = ComputeLayout(100, 100, 8, 16);
  EXPECT_EQ(tiny.x0, -187);
  EXPECT_EQ(tiny.y0, -12);  // 16 + (-56 / 2)
  EXPECT_EQ(tiny.picture_x, -35);
}

TEST(KeyboardLayout, KeyCellsTileTheKeyboardPicture) {
  const int x0 = 100, y0 = 200;
  const KeyEntry& a = kKeyTable[30];
  EXPECT_EQ(KeyCell(a, x0, y0), (Rect{138, 278, 38, 39}));
  EXPECT_EQ(KeyCell(kKeyTable[27], x0, y0), (Rect{537, 239, 38, 39}));  // right bracket
  EXPECT_EQ(KeyCell(kKeyTable[2], x0, y0), (Rect{100, 200, 38, 39}));   // key 1

  int playing = 0;
  std::set<std::pair<int, int>> rows_and_columns;
  for (std::uint32_t i = 0; i < kKeyTable.size(); ++i) {
    const KeyEntry& e = kKeyTable[i];
    if (e.octave == -1) continue;
    ++playing;
    const Rect c = KeyCell(e, x0, y0);
    EXPECT_GE(c.x, x0);
    EXPECT_LE(c.x + c.width, x0 + kKeyboardWidth);
    EXPECT_GE(c.y, y0);
    EXPECT_LE(c.y + c.height, y0 + kKeyboardHeight);
    EXPECT_TRUE(rows_and_columns.insert({e.row, e.column}).second) << "two keys share a cell";
    // Clicking the middle of a key's picture finds that very key.
    EXPECT_EQ(HitTestKey(c.x + c.width / 2, c.y + c.height / 2, x0, y0), i) << "scan code " << i;
  }
  EXPECT_EQ(playing, 45);
}

TEST(KeyboardLayout, MouseHitTestBoundaries) {
  const int x0 = 100, y0 = 200;
  EXPECT_EQ(HitTestKey(150, 290, x0, y0), 30u);           // row 2, column 2: A
  EXPECT_EQ(HitTestKey(105, 245, x0, y0), 16u);           // row 1, first half key: Q
  EXPECT_EQ(HitTestKey(575, 200, x0, y0), std::nullopt);  // column 24 -> 23, no key in row 0

  // Inclusive bounds on all four sides.
  EXPECT_EQ(HitTestKey(100, 200, x0, y0), 2u);  // key 1
  EXPECT_EQ(HitTestKey(99, 200, x0, y0), std::nullopt);
  EXPECT_EQ(HitTestKey(100, 199, x0, y0), std::nullopt);
  EXPECT_EQ(HitTestKey(575, 239, x0, y0), 27u);  // right bracket, column clamped to 23
  EXPECT_EQ(HitTestKey(576, 239, x0, y0), std::nullopt);
  // The bottom edge is row 3, just below it is outside.
  EXPECT_EQ(HitTestKey(160, 356, x0, y0), 44u);  // Z
  EXPECT_EQ(HitTestKey(160, 355, x0, y0), 44u);
  EXPECT_EQ(HitTestKey(160, 357, x0, y0), std::nullopt);

  // Odd rows: the first 19 pixels and the next 38 all give column 1.
  EXPECT_EQ(HitTestKey(118, 240, x0, y0), 16u);
  EXPECT_EQ(HitTestKey(119, 240, x0, y0), 16u);
  EXPECT_EQ(HitTestKey(156, 240, x0, y0), 16u);
  EXPECT_EQ(HitTestKey(157, 240, x0, y0), 17u);  // W
  // Even rows step every 38 pixels.
  EXPECT_EQ(HitTestKey(137, 300, x0, y0), std::nullopt);  // row 2, column 0: no key
  EXPECT_EQ(HitTestKey(138, 300, x0, y0), 30u);
  EXPECT_EQ(HitTestKey(518, 200, x0, y0), 13u);  // equals, column 22

  // Places of the grid without a key.
  EXPECT_EQ(HitTestKey(100, 320, x0, y0), std::nullopt);  // row 3, column 1
  EXPECT_EQ(HitTestKey(570, 320, x0, y0), std::nullopt);  // row 3, column 23

  // A negative origin (window narrower than the keyboard).
  EXPECT_EQ(HitTestKey(0, 170, -37, 87), std::nullopt);  // row 2, column 0
  EXPECT_EQ(HitTestKey(1, 170, -37, 87), 30u);
}

TEST(KeyboardLayout, KeyMarkPictureCellsAndOctaveDots) {
  EXPECT_EQ(KeyMarkPictureX(false, 0), 0);
  EXPECT_EQ(KeyMarkPictureX(false, 1), 0);
  EXPECT_EQ(KeyMarkPictureX(false, 5), 0);
  EXPECT_EQ(KeyMarkPictureX(true, 0), 38);
  EXPECT_EQ(KeyMarkPictureX(true, 1), 76);
  EXPECT_EQ(KeyMarkPictureX(true, -1), 114);
  EXPECT_EQ(KeyMarkPictureX(true, 2), std::nullopt);
  EXPECT_EQ(KeyMarkPictureX(true, -2), std::nullopt);

  const OctaveDots high = OctaveDotsFor(6);
  ASSERT_EQ(high.count, 1);
  EXPECT_EQ(high.tops[0], 3);
  EXPECT_EQ(OctaveDotsFor(5).count, 0);
  const OctaveDots low = OctaveDotsFor(4);
  ASSERT_EQ(low.count, 1);
  EXPECT_EQ(low.tops[0], 24);
  const OctaveDots lowest = OctaveDotsFor(3);
  ASSERT_EQ(lowest.count, 2);
  EXPECT_EQ(lowest.tops[0], 24);
  EXPECT_EQ(lowest.tops[1], 30);
  EXPECT_EQ(OctaveDotsFor(7).count, 0);
}

TEST(KeyboardLayout, KeyLabelAndChannelTexts) {
  EXPECT_EQ(KeyLabelText(0, 1297), "三角钢琴    1=C");
  EXPECT_EQ(KeyLabelText(0, 1304), "三角钢琴    1=#F");
  EXPECT_EQ(KeyLabelText(0, 1312), "三角钢琴    1=bB");
  EXPECT_EQ(KeyLabelText(0, 1315), "三角钢琴    6=c");
  EXPECT_EQ(KeyLabelText(0, 1319), "三角钢琴    6=g");
  EXPECT_EQ(KeyLabelText(0, 1329), "三角钢琴    6=#c");
  EXPECT_EQ(KeyLabelText(32, 1332), "Bass    6=#a");
  EXPECT_EQ(KeyLabelText(127, 1314), "枪声    1=bA");
  // No key mode: the instrument alone.
  EXPECT_EQ(KeyLabelText(0, 1306), "三角钢琴");
  EXPECT_EQ(KeyLabelText(80, 0), "主音 1(广场)");

  EXPECT_EQ(ChannelText(0), "声道 1");
  EXPECT_EQ(ChannelText(9), "声道 10");
  EXPECT_EQ(ChannelText(14), "声道 15");
}

}  // namespace
}  // namespace tonvale
