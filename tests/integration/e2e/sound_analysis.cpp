#include "sound_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace tonvale::test {

std::vector<float> ReadRawStereo(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<float> mono;
  for (unsigned char b[4]; in.read(reinterpret_cast<char*>(b), 4);) {
    const auto left = static_cast<std::int16_t>(b[0] | b[1] << 8);
    const auto right = static_cast<std::int16_t>(b[2] | b[3] << 8);
    mono.push_back(static_cast<float>((left + right) / 65536.0));
  }
  return mono;
}

std::size_t CountDropouts(std::span<const float> samples, std::size_t min_run) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < samples.size();) {
    if (samples[i] != 0.0f) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < samples.size() && samples[end] == 0.0f) ++end;
    if (i > 0 && end < samples.size() && end - i >= min_run) ++count;
    i = end;
  }
  return count;
}

std::vector<Span> FindNotes(std::span<const float> samples, std::size_t block, double fraction,
                            std::size_t min_gap) {
  std::vector<double> level(samples.size() / block);
  for (std::size_t b = 0; b < level.size(); ++b) {
    for (std::size_t i = b * block; i < (b + 1) * block; ++i) level[b] += samples[i] * samples[i];
  }
  const double loudest = level.empty() ? 0 : *std::max_element(level.begin(), level.end());
  std::vector<Span> notes;
  for (std::size_t b = 0; b < level.size(); ++b) {
    if (loudest == 0 || level[b] < fraction * fraction * loudest) continue;
    if (!notes.empty() && b * block - notes.back().end < min_gap * block) {
      notes.back().end = (b + 1) * block;
    } else {
      notes.push_back({b * block, (b + 1) * block});
    }
  }
  return notes;
}

double Fundamental(std::span<const float> samples, int rate, double low, double high) {
  const auto shortest = std::max<std::size_t>(static_cast<std::size_t>(rate / high), 2);
  const auto longest = static_cast<std::size_t>(std::ceil(rate / low)) + 1;
  std::vector<double> r(longest + 2, -1.0);
  for (std::size_t lag = shortest - 1; lag <= longest + 1 && lag < samples.size(); ++lag) {
    double product = 0, head = 0, tail = 0;
    for (std::size_t n = 0; n + lag < samples.size(); ++n) {
      product += double{samples[n]} * samples[n + lag];
      head += double{samples[n]} * samples[n];
      tail += double{samples[n + lag]} * samples[n + lag];
    }
    if (head > 0 && tail > 0) r[lag] = product / std::sqrt(head * tail);
  }
  const double best = *std::max_element(r.begin() + static_cast<std::ptrdiff_t>(shortest),
                                        r.begin() + static_cast<std::ptrdiff_t>(longest + 1));
  for (std::size_t lag = shortest; best > 0 && lag <= longest; ++lag) {
    if (r[lag] < 0.9 * best || r[lag] < r[lag - 1] || r[lag] < r[lag + 1]) continue;
    // Parabola through the peak and its neighbours.
    const double a = r[lag - 1], b = r[lag], c = r[lag + 1];
    const double denominator = a - 2 * b + c;
    return rate / (static_cast<double>(lag) + (denominator < 0 ? 0.5 * (a - c) / denominator : 0));
  }
  return 0;
}

}  // namespace tonvale::test
