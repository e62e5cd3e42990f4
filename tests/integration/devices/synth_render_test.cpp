// The built-in synthesizer's offline path with the real soundfont: the
// pitch of what it plays, and silence after All Notes Off.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "devices/soundfont_search.h"
#include "devices/synth_core.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

constexpr int kRate = 44100;
constexpr int kSquareLead = 80;  // GM "Lead 1 (square)": fundamental is the loudest partial

void Fft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const double angle = -2 * std::numbers::pi / static_cast<double>(len);
    const std::complex<double> step(std::cos(angle), std::sin(angle));
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> w(1);
      for (std::size_t k = 0; k < len / 2; ++k) {
        const auto u = a[i + k];
        const auto v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= step;
      }
    }
  }
}

// Frequency of the strongest partial above 50 Hz in the left+right mix of
// `stereo`, from `first_frame` on, Hann window and parabolic interpolation.
double PeakFrequency(const std::vector<float>& stereo, std::size_t first_frame) {
  constexpr std::size_t kSize = 1 << 16;
  std::vector<std::complex<double>> a(kSize);
  for (std::size_t i = 0; i < kSize; ++i) {
    const std::size_t f = first_frame + i;
    const double mono = f * 2 + 1 < stereo.size() ? stereo[f * 2] + stereo[f * 2 + 1] : 0.0;
    const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (kSize - 1));
    a[i] = mono * hann;
  }
  Fft(a);
  const double bin_hz = static_cast<double>(kRate) / kSize;
  std::size_t best = static_cast<std::size_t>(50 / bin_hz);
  for (std::size_t k = best; k < kSize / 2 - 1; ++k) {
    if (std::abs(a[k]) > std::abs(a[best])) best = k;
  }
  const double l = std::abs(a[best - 1]), c = std::abs(a[best]), r = std::abs(a[best + 1]);
  const double shift = 0.5 * (l - r) / (l - 2 * c + r);
  return (static_cast<double>(best) + shift) * bin_hz;
}

double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

class SynthRender : public ::testing::Test {
 protected:
  void SetUp() override {
    auto path = FindSoundfont(SoundfontCandidates());
    ASSERT_TRUE(path.has_value()) << "no General MIDI soundfont installed";
    soundfont_ = *path;
  }
  std::unique_ptr<SynthCore> Synth() {
    auto core = SynthCore::Create(soundfont_);
    EXPECT_NE(core, nullptr);
    return core;
  }
  // One held note of the square lead, as float stereo.
  std::vector<float> PlayNote(int note) {
    auto core = Synth();
    if (core == nullptr) return {};
    core->Send(PackShortMsg(kProgramChange, 0, kSquareLead, 0));
    core->Send(PackShortMsg(kNoteOn, 0, static_cast<std::uint32_t>(note), 127));
    return core->RenderFloat(kRate * 2);
  }

  std::string soundfont_;
};

double NoteHz(int note) {
  return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

TEST_F(SynthRender, NotesSoundAtTheirPitch) {
  const double c4 = PeakFrequency(PlayNote(60), kRate / 10);
  EXPECT_NEAR(c4, NoteHz(60), NoteHz(60) * 0.01);  // 261.6 Hz
  const double c5 = PeakFrequency(PlayNote(72), kRate / 10);
  EXPECT_NEAR(c5, NoteHz(72), NoteHz(72) * 0.01);
  EXPECT_NEAR(c5 / c4, 2.0, 0.02);
}

TEST_F(SynthRender, AllNotesOffOnEveryChannelFadesToSilence) {
  auto core = Synth();
  ASSERT_NE(core, nullptr);
  for (std::uint32_t chan : {0u, 15u}) {
    core->Send(PackShortMsg(kProgramChange, chan, kSquareLead, 0));
    core->Send(PackShortMsg(kNoteOn, chan, 60, 127));
    core->Send(PackShortMsg(kNoteOn, chan, 64, 127));
  }
  core->RenderFloat(kRate / 2);
  const double held = Rms(core->RenderFloat(kRate / 10));
  EXPECT_GT(held, 0.01) << "the notes did not sound";
  // A square lead holds for as long as the key is down.
  core->RenderFloat(kRate * 2);
  EXPECT_GT(Rms(core->RenderFloat(kRate / 10)), held * 0.5);

  for (std::uint32_t chan = 0; chan < 16; ++chan) {
    core->Send(PackShortMsg(kControlChange, chan, kAllNotesOff, 0));
  }
  core->RenderFloat(kRate * 3 / 2);
  const double after = Rms(core->RenderFloat(kRate / 10));
  EXPECT_LT(after, 1e-4) << "still sounding " << after;
  EXPECT_EQ(fluid_synth_get_active_voice_count(core->synth()), 0);
}

TEST_F(SynthRender, SixteenBitRenderMatchesTheFloatRender) {
  // Two synthesizers, same messages: the 16-bit path is the float path
  // scaled to full range, up to the dither.
  auto as_float = Synth();
  auto as_s16 = Synth();
  ASSERT_NE(as_float, nullptr);
  ASSERT_NE(as_s16, nullptr);
  for (SynthCore* core : {as_float.get(), as_s16.get()}) {
    core->Send(PackShortMsg(kProgramChange, 0, kSquareLead, 0));
    core->Send(PackShortMsg(kNoteOn, 0, 60, 100));
  }
  const auto f = as_float->RenderFloat(kRate / 2);
  const auto s = as_s16->RenderS16(kRate / 2);
  ASSERT_EQ(f.size(), s.size());
  int loud = 0;
  double worst = 0;
  for (std::size_t i = 0; i < f.size(); ++i) {
    worst = std::max(worst, std::abs(f[i] * 32767.0 - s[i]));
    if (std::abs(s[i]) > 1000) ++loud;
  }
  EXPECT_LT(worst, 3.0);
  EXPECT_GT(loud, 1000);
}

}  // namespace
}  // namespace tonvale
