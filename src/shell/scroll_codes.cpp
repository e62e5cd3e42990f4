#include "shell/scroll_codes.h"

#include <QAbstractSlider>

#include "perform/settings_commands.h"

namespace tonvale {

std::optional<int> ScrollCodeForAction(int action, bool slider_down) {
  // The bars are vertical with their minimum at the top: adding moves down.
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      return kLineUp;
    case QAbstractSlider::SliderSingleStepAdd:
      return kLineDown;
    case QAbstractSlider::SliderPageStepSub:
      return kPageUp;
    case QAbstractSlider::SliderPageStepAdd:
      return kPageDown;
    case QAbstractSlider::SliderToMinimum:
      return kTop;
    case QAbstractSlider::SliderToMaximum:
      return kBottom;
    case QAbstractSlider::SliderMove:
      if (slider_down) return kThumbTrack;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace tonvale
