#include "shell/scroll_codes.h"

#include <gtest/gtest.h>

#include <QAbstractSlider>

#include "perform/settings_commands.h"

namespace tonvale {
namespace {

TEST(ScrollCodes, SliderActionsOfAVerticalBar) {
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderSingleStepSub, false), kLineUp);
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderSingleStepAdd, false), kLineDown);
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderPageStepSub, false), kPageUp);
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderPageStepAdd, false), kPageDown);
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderToMinimum, false), kTop);
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderToMaximum, false), kBottom);
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderMove, true), kThumbTrack);
  // A move without the thumb held (the wheel) is no drag.
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderMove, false), std::nullopt);
  EXPECT_EQ(ScrollCodeForAction(QAbstractSlider::SliderNoAction, true), std::nullopt);
}

}  // namespace
}  // namespace tonvale
