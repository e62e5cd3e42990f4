// Qt's scroll-bar actions as the scroll codes the velocity and pitch-bend
// commands are written against.
#pragma once

#include <optional>

namespace tonvale {

// `action` is a QAbstractSlider::SliderAction; `slider_down` tells a drag of
// the thumb from a move made by the wheel. Nothing when the action has no
// scroll code.
std::optional<int> ScrollCodeForAction(int action, bool slider_down);

}  // namespace tonvale
