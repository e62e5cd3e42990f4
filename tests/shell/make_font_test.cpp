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

  // Style bits: 1 bold, 2 italic, 4 underline, 8 strike-out; others ignored.
  const auto style = [](int bits) {
    const FontRequest f = ComputeFontRequest(90, 0, bits, 96, 96);
    return f.bold * 1 + f.italic * 2 + f.underline * 4 + f.strike_out * 8;
  };
  EXPECT_EQ(style(15), 15);
  EXPECT_EQ(style(16 | 32), 0);
  EXPECT_EQ(style(6), 6);
}

}  // namespace
}  // namespace tonvale
