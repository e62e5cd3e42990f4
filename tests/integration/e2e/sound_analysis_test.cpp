// The analysis the sound check relies on, against signals whose answer is
// known: the raw samples a recorder leaves, and notes run through the same
// steps as the check's recording, with gaps from a late stream spliced in.
#include "sound_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "child_process.h"

namespace tonvale::test {
namespace {

constexpr int kRate = 44100;
constexpr std::size_t kBlock = kRate / 100;  // 10 ms, as in the sound check

TEST(SoundAnalysis, ReadsRawStereoAsParecRecordsIt) {
  const ScratchDir dir("tonvale-raw");
  const auto path = dir.path() / "heard.raw";
  // Little-endian pairs; half a frame left by an interrupted write at the end.
  const unsigned char bytes[] = {0x00, 0x40, 0x00, 0xE0, 0x00, 0x80, 0xFF, 0x7F, 0x00, 0x00, 0x01};
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), sizeof bytes);
  EXPECT_EQ(ReadRawStereo(path.string()),
            (std::vector<float>{(0.5f - 0.25f) / 2, static_cast<float>(-0.5 / 32768)}));
}

std::vector<double> Square(double hz) {  // odd partials 1/k up to 10 kHz
  std::vector<double> p;
  for (int k = 1; k * hz < 10000; ++k) p.push_back(k % 2 ? 1.0 / k : 0.0);
  return p;
}

TEST(SoundAnalysis, PitchAndDecayOfTheCheckedNotes) {
  const struct {
    const char* what;
    double hz;
    std::vector<double> partials;
    double decay_db_per_s;  // after 0.5 s held
    double quiet_ms;        // -30 dB after the key came up
  } kCases[] = {
      {"A", 261.626, Square(261.626), 120, 250},
      {"Shift+A", 523.251, Square(523.251), 60, 500},
      {"Ctrl+A, cut dead", 130.813, Square(130.813), 1e6, 0},
      {"second partial stronger (piano): not an octave up", 261.626, {0.4, 1.0, 0.3}, 120, 250},
      {"an octave down, second partial stronger", 130.813, {0.3, 1.0}, 120, 250},
      {"a pure tone: not an octave down", 523.251, {1.0}, 120, 250},
      {"never dies away: loud until it ends 1 s later", 261.626, {1.0}, 0, 1000},
  };
  for (const auto& c : kCases) {
    // 0.2 s of silence, the note for 1.5 s, 0.3 s of silence.
    std::vector<float> s(kRate * 2, 0.0f);
    for (std::size_t i = 0; i < kRate * 3 / 2; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double gain = t < 0.5 ? 1.0 : std::pow(10, -c.decay_db_per_s * (t - 0.5) / 20);
      double v = 0;
      for (std::size_t k = 0; k < c.partials.size(); ++k) {
        v += c.partials[k] * std::sin(2 * std::numbers::pi * c.hz * static_cast<double>(k + 1) * t);
      }
      s[kRate / 5 + i] = static_cast<float>(0.3 * gain * v);
    }
    // Gaps where a sound server played silence for a late stream, some
    // longer than a block.
    for (std::size_t at = 1000; at + 1000 < s.size(); at += 2000) {
      std::fill_n(s.begin() + static_cast<std::ptrdiff_t>(at), at % 6000 == 1000 ? 1000 : 100,
                  0.0f);
    }
    SCOPED_TRACE(c.what);

    const auto envelope = RmsEnvelope(s, kBlock);
    const auto notes = FindNotes(envelope, 0.3, 0.03, 20);
    ASSERT_EQ(notes.size(), 1u);
    const std::size_t start = notes[0].start;
    EXPECT_EQ(start, 20u);
    const auto steady = std::span<const float>(s).subspan((start + 5) * kBlock, 40 * kBlock);
    const double f0 = Fundamental(steady, kRate, 60, 2000);
    EXPECT_NEAR(f0, c.hz, c.hz * 1e-3);
    const double second = c.partials.size() > 1 ? c.partials[1] / c.partials[0] : 0;
    EXPECT_NEAR(HarmonicRatio(steady, kRate, f0, 2), second, 0.1);

    const auto db = DecayDb(envelope, start + 10, start + 45, start + 50);
    EXPECT_NEAR(static_cast<double>(BlocksAbove(db, -30) * 10), c.quiet_ms, 10);
  }

  // Silence: no note, no pitch.
  const std::vector<float> silence(kRate, 0.0f);
  EXPECT_TRUE(FindNotes(RmsEnvelope(silence, kBlock), 0.3, 0.03, 20).empty());
  EXPECT_EQ(Fundamental(silence, kRate, 60, 2000), 0);
}

}  // namespace
}  // namespace tonvale::test
