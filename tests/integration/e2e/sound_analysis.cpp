#include "sound_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace tonvale::test {

std::vector<float> ReadRawStereo(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<float> mono;
  for (std::int16_t frame[2]; in.read(reinterpret_cast<char*>(frame), sizeof frame);) {
    mono.push_back(static_cast<float>((frame[0] + frame[1]) / 65536.0));  // little-endian host
  }
  return mono;
}

std::size_t CountDropouts(std::span<const float> samples, std::size_t min_run) {
  std::size_t count = 0;
  for (std::size_t i = 0, zeros = 0; i < samples.size(); ++i) {
    if (samples[i] == 0.0f) {
      ++zeros;
    } else {
      count += zeros >= min_run && zeros < i;  // not at the very start
      zeros = 0;
    }
  }
  return count;
}

std::vector<std::span<const float>> FindNotes(std::span<const float> samples, std::size_t block,
                                              double fraction, std::size_t min_gap) {
  std::vector<double> level(samples.size() / block);
  for (std::size_t i = 0; i < level.size() * block; ++i)
    level[i / block] += samples[i] * samples[i];
  const double loudest = level.empty() ? 0 : *std::max_element(level.begin(), level.end());
  std::vector<std::span<const float>> notes;
  for (std::size_t b = 0, end = 0; b < level.size(); ++b) {
    if (loudest == 0 || level[b] < fraction * fraction * loudest) continue;
    if (notes.empty() || b - end >= min_gap) {
      notes.push_back(samples.subspan(b * block, block));
    } else {
      notes.back() = {notes.back().data(), samples.data() + (b + 1) * block};
    }
    end = b + 1;
  }
  return notes;
}

double Fundamental(std::span<const float> samples, int rate, double low, double high) {
  const auto shortest = static_cast<std::size_t>(rate / high);
  const auto longest = std::min(static_cast<std::size_t>(rate / low), samples.size() - 2);
  std::vector<double> r(longest + 2, -1.0);
  for (std::size_t lag = std::max<std::size_t>(shortest, 2) - 1; lag <= longest + 1; ++lag) {
    double product = 0, head = 0, tail = 0;
    for (std::size_t n = 0; n + lag < samples.size(); ++n) {
      product += double{samples[n]} * samples[n + lag];
      head += double{samples[n]} * samples[n];
      tail += double{samples[n + lag]} * samples[n + lag];
    }
    if (head > 0 && tail > 0) r[lag] = product / std::sqrt(head * tail);
  }
  const double best = *std::max_element(r.begin(), r.end());
  for (std::size_t lag = std::max<std::size_t>(shortest, 2); best > 0 && lag <= longest; ++lag) {
    if (r[lag] < 0.9 * best || r[lag] < r[lag - 1] || r[lag] < r[lag + 1]) continue;
    const double a = r[lag - 1], b = r[lag], c = r[lag + 1];  // a parabola through the peak
    return rate / (static_cast<double>(lag) + 0.5 * (a - c) / std::min(a - 2 * b + c, -1e-12));
  }
  return 0;
}

}  // namespace tonvale::test
