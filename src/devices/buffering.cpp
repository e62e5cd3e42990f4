#include "devices/buffering.h"

#include <algorithm>
#include <cmath>

namespace tonvale {

double DefaultBufferingMs(AudioPath path) {
  switch (path) {
    case AudioPath::kPipeWire:
      return 5.8;
    case AudioPath::kPulseAudio:
      return 46.44;
    case AudioPath::kAlsa:
    case AudioPath::kOther:
      break;
  }
  return 4.35;
}

Buffering BufferingForMs(double ms, double sample_rate, int periods) {
  periods = std::max(periods, 1);
  const double period = std::round(ms * sample_rate / 1000.0 / periods);
  return {static_cast<int>(std::clamp(period, 1.0, 1e7)), periods};
}

}  // namespace tonvale
