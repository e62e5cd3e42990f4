#include "shell/make_font.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(MakeFont, SizesInTenthsOfAPointBecomeWholePixels) {
  // 12 pt at 96 dpi is 16 px; 10 pt is 13.3 px, rounded to 13.
  EXPECT_EQ(ComputeFontRequest(120, 0, 0, 96, 96).pixel_height, 16);
  EXPECT_EQ(ComputeFontRequest(100, 0, 0, 96, 96).pixel_height, 13);
  EXPECT_EQ(ComputeFontRequest(110, 0, 0, 96, 96).pixel_height, 15);  // 14.67 rounds up
  EXPECT_EQ(ComputeFontRequest(100, 0, 0, 72, 72).pixel_height, 10);
  EXPECT_EQ(ComputeFontRequest(-120, 0, 0, 96, 96).pixel_height, 16);
  EXPECT_EQ(ComputeFontRequest(0, 0, 0, 96, 96).pixel_height, 0);      // the default height
  EXPECT_EQ(ComputeFontRequest(120, 0, 0, 96, 120).pixel_height, 20);  // y resolution only

  // A width keeps the face's shape in proportion to the height.
  EXPECT_EQ(ComputeFontRequest(120, 0, 0, 96, 96).stretch, 0);
  EXPECT_EQ(ComputeFontRequest(120, 60, 0, 96, 96).stretch, 50);
  EXPECT_EQ(ComputeFontRequest(120, 120, 0, 120, 96).stretch, 125);

  const FontRequest all = ComputeFontRequest(90, 0, 15, 96, 96);
  EXPECT_TRUE(all.bold && all.italic && all.underline && all.strike_out);
  const FontRequest none = ComputeFontRequest(90, 0, 16 | 32, 96, 96);
  EXPECT_FALSE(none.bold || none.italic || none.underline || none.strike_out);
  const FontRequest italic_underline = ComputeFontRequest(90, 0, 6, 96, 96);
  EXPECT_FALSE(italic_underline.bold);
  EXPECT_TRUE(italic_underline.italic);
  EXPECT_TRUE(italic_underline.underline);
  EXPECT_FALSE(italic_underline.strike_out);
}

}  // namespace
}  // namespace tonvale
