#include "shell/make_font.h"

#include <gtest/gtest.h>

TEST(MakeFont, SizesInTenthsOfAPointBecomeWholePixels) {
  using tonvale::ComputeFontRequest, tonvale::FontRequest;
  // 12 pt at 96 dpi is 16 px, 11 pt 14.67 px, 10 pt 13.3 px; only the y
  // resolution counts; a width keeps the face's shape in proportion.
  EXPECT_EQ(ComputeFontRequest(120, 0, 0, 72, 96), (FontRequest{16, 0}));
  EXPECT_EQ(ComputeFontRequest(110, 0, 0, 96, 96).pixel_height, 15);
  EXPECT_EQ(ComputeFontRequest(-100, 0, 0, 96, 96).pixel_height, 13);
  EXPECT_EQ(ComputeFontRequest(120, 120, 0, 120, 96), (FontRequest{16, 125}));
  // Style bits: 1 bold, 2 italic, 4 underline, 8 strike-out; others ignored.
  EXPECT_EQ(ComputeFontRequest(90, 0, 15 | 16, 96, 96),
            (FontRequest{12, 0, true, true, true, true}));
  EXPECT_EQ(ComputeFontRequest(90, 0, 6, 96, 96), (FontRequest{12, 0, false, true, true, false}));
}
