#include "sound_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>

namespace tonvale::test {
namespace {

std::uint32_t Le32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
         std::uint32_t{b[at + 3]} << 24;
}

std::uint16_t Le16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

bool Tag(std::span<const std::uint8_t> b, std::size_t at, const char* tag) {
  return std::equal(tag, tag + 4, b.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

std::optional<Audio> ParseWav(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 12 || !Tag(bytes, 0, "RIFF") || !Tag(bytes, 8, "WAVE")) return std::nullopt;
  int format = 0;
  int channels = 0;
  int bits = 0;
  Audio audio;
  for (std::size_t at = 12; at + 8 <= bytes.size();) {
    const std::uint32_t declared = Le32(bytes, at + 4);
    const std::size_t body = at + 8;
    const std::size_t left = bytes.size() - body;
    if (Tag(bytes, at, "fmt ")) {
      if (declared < 16 || left < 16) return std::nullopt;
      format = Le16(bytes, body);
      channels = Le16(bytes, body + 2);
      audio.rate = static_cast<int>(Le32(bytes, body + 4));
      bits = Le16(bytes, body + 14);
      if (format == 0xFFFE && declared >= 40 && left >= 40) {
        format = Le16(bytes, body + 24);  // the sub-format's first two bytes
      }
    } else if (Tag(bytes, at, "data")) {
      const bool pcm16 = format == 1 && bits == 16;
      const bool float32 = format == 3 && bits == 32;
      if ((!pcm16 && !float32) || channels < 1 || audio.rate <= 0) return std::nullopt;
      // An unfinished recording: the data runs to the end of what is there.
      const std::size_t size =
          declared == 0 || declared == 0xFFFFFFFF ? left : std::min<std::size_t>(declared, left);
      const std::size_t frame = static_cast<std::size_t>(channels) * (bits / 8);
      const std::size_t frames = size / frame;
      audio.mono.resize(frames);
      for (std::size_t f = 0; f < frames; ++f) {
        double sum = 0;
        for (int c = 0; c < channels; ++c) {
          const std::size_t p = body + f * frame + static_cast<std::size_t>(c) * (bits / 8);
          if (pcm16) {
            sum += static_cast<std::int16_t>(Le16(bytes, p)) / 32768.0;
          } else {
            const std::uint32_t raw = Le32(bytes, p);
            float value;
            std::memcpy(&value, &raw, sizeof value);
            sum += value;
          }
        }
        audio.mono[f] = static_cast<float>(sum / channels);
      }
      return audio;
    }
    if (declared > left) return std::nullopt;
    at = body + declared + (declared & 1);
  }
  return std::nullopt;
}

std::optional<Audio> ReadWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  return ParseWav(bytes);
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

std::size_t CountDropouts(std::span<const float> samples) {
  std::size_t count = 0;
  std::size_t run = 0;
  for (std::size_t i = 0; i <= samples.size(); ++i) {
    if (i < samples.size() && samples[i] == 0.0f) {
      ++run;
      continue;
    }
    count += run >= kMinDropout && run <= kMaxDropout;
    run = 0;
  }
  return count;
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
