#include "sound_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <numbers>

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

std::vector<Stretch> Stretches(std::span<const float> samples) {
  std::vector<Stretch> stretches;
  std::size_t begin = 0;
  std::size_t i = 0;
  while (i < samples.size()) {
    if (samples[i] != 0.0f) {
      ++i;
      continue;
    }
    std::size_t run_end = i;
    while (run_end < samples.size() && samples[run_end] == 0.0f) ++run_end;
    const std::size_t run = run_end - i;
    if (run >= kMinDropout && run <= kMaxDropout) {
      if (i > begin) stretches.push_back({begin, i});
      begin = run_end;
    }
    i = run_end;
  }
  if (samples.size() > begin) stretches.push_back({begin, samples.size()});
  return stretches;
}

std::vector<double> RmsEnvelope(std::span<const float> samples, std::size_t hop) {
  std::vector<double> sum(hop > 0 ? samples.size() / hop : 0, 0.0);
  std::vector<std::size_t> count(sum.size(), 0);
  for (const Stretch& s : Stretches(samples)) {
    for (std::size_t i = s.begin; i < s.end && i / hop < sum.size(); ++i) {
      sum[i / hop] += double{samples[i]} * samples[i];
      ++count[i / hop];
    }
  }
  std::vector<double> envelope(sum.size(), 0.0);
  for (std::size_t b = 0; b < sum.size(); ++b) {
    if (count[b] > 0) {
      envelope[b] = std::sqrt(sum[b] / static_cast<double>(count[b]));
    } else if (b > 0) {
      envelope[b] = envelope[b - 1];
    }
  }
  return envelope;
}

std::vector<NoteSpan> FindNotes(std::span<const double> envelope, double on, double off,
                                std::size_t min_gap) {
  std::vector<NoteSpan> notes;
  if (envelope.empty()) return notes;
  const double loudest = *std::max_element(envelope.begin(), envelope.end());
  bool sounding = false;
  std::size_t quiet = 0;
  for (std::size_t i = 0; i < envelope.size(); ++i) {
    if (!sounding) {
      if (loudest > 0 && envelope[i] >= on * loudest) {
        notes.push_back({i, envelope.size()});
        sounding = true;
        quiet = 0;
      }
      continue;
    }
    quiet = envelope[i] < off * loudest ? quiet + 1 : 0;
    if (quiet >= min_gap) {
      notes.back().end = i + 1 - quiet;
      sounding = false;
    }
  }
  return notes;
}

std::vector<double> DecayDb(std::span<const double> envelope, std::size_t from, std::size_t to,
                            std::size_t event) {
  double sum = 0;
  for (std::size_t b = from; b < to; ++b) sum += envelope[b];
  const double level = sum / static_cast<double>(std::max<std::size_t>(to - from, 1));
  std::vector<double> db;
  for (std::size_t b = event; b < envelope.size(); ++b) {
    db.push_back(20 * std::log10(std::max(envelope[b], 1e-12) / level));
  }
  return db;
}

std::size_t BlocksAbove(std::span<const double> db, double limit) {
  std::size_t b = 0;
  while (b < db.size() && db[b] >= limit) ++b;
  return b;
}

double Fundamental(std::span<const float> samples, int rate, double low, double high) {
  const auto stretches = Stretches(samples);
  const auto shortest = static_cast<std::size_t>(std::floor(rate / high));
  const auto longest = static_cast<std::size_t>(std::ceil(rate / low)) + 1;
  std::vector<double> r(longest + 2, -1.0);
  for (std::size_t lag = std::max<std::size_t>(shortest, 1) - 1; lag <= longest + 1; ++lag) {
    double product = 0, head = 0, tail = 0;
    for (const Stretch& s : stretches) {
      for (std::size_t n = s.begin; n + lag < s.end; ++n) {
        product += double{samples[n]} * samples[n + lag];
        head += double{samples[n]} * samples[n];
        tail += double{samples[n + lag]} * samples[n + lag];
      }
    }
    if (head > 0 && tail > 0) r[lag] = product / std::sqrt(head * tail);
  }
  double best = -1;
  for (std::size_t lag = shortest; lag <= longest; ++lag) best = std::max(best, r[lag]);
  if (best <= 0) return 0;
  for (std::size_t lag = std::max<std::size_t>(shortest, 1); lag <= longest; ++lag) {
    if (r[lag] < 0.9 * best || r[lag] < r[lag - 1] || r[lag] < r[lag + 1]) continue;
    // Parabola through the peak and its neighbours.
    const double a = r[lag - 1], b = r[lag], c = r[lag + 1];
    const double denominator = a - 2 * b + c;
    const double offset = denominator < 0 ? 0.5 * (a - c) / denominator : 0.0;
    return rate / (static_cast<double>(lag) + offset);
  }
  return 0;
}

double HarmonicRatio(std::span<const float> samples, int rate, double f0, int k) {
  const auto min_length =
      std::max<std::size_t>(512, static_cast<std::size_t>(3 * rate / std::max(f0, 1.0)));
  double fundamental = 0, partial = 0;
  for (const Stretch& s : Stretches(samples)) {
    const std::size_t length = s.end - s.begin;
    if (length < min_length) continue;
    std::complex<double> at_f0, at_k;
    for (std::size_t i = 0; i < length; ++i) {
      const double t = static_cast<double>(i);
      const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * t / (length - 1));
      const double x = hann * samples[s.begin + i];
      const double phase = 2 * std::numbers::pi * f0 * t / rate;
      at_f0 += x * std::polar(1.0, -phase);
      at_k += x * std::polar(1.0, -k * phase);
    }
    fundamental += std::norm(at_f0);
    partial += std::norm(at_k);
  }
  return fundamental > 0 ? std::sqrt(partial / fundamental) : 0;
}

}  // namespace tonvale::test
