#include "devices/buffering.h"

#include <algorithm>
#include <cmath>

namespace tonvale {

Buffering DefaultBuffering(AudioPath path) {
  switch (path) {
    case AudioPath::kPipeWire:
      return {128, 2};
    case AudioPath::kPulseAudio:
      return {1024, 2};
    case AudioPath::kAlsa:
    case AudioPath::kOther:
      break;
  }
  return {64, 3};
}

Buffering BufferingForMs(double ms, double sample_rate) {
  const double period = std::round(ms * sample_rate / 2000.0);
  return {static_cast<int>(std::clamp(period, double{kMinPeriodFrames}, 1e6)), 2};
}

}  // namespace tonvale
