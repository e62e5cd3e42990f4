// The built-in synthesizer's offline path with the real soundfont: the
// pitch of what it plays, the 16-bit render, and silence after All Notes Off.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "devices/soundfont_search.h"
#include "devices/synth_core.h"
#include "perform/midi_messages.h"
#include "sound_analysis.h"

namespace tonvale {
namespace {

constexpr int kRate = 44100;
constexpr int kSquareLead = 80;

double Rms(const std::vector<float>& samples) {
  double sum = 0;
  for (float s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

class SynthRender : public ::testing::Test {
 protected:
  // A synthesizer on the square lead, with `notes` held on the channels given.
  std::unique_ptr<SynthCore> Playing(std::initializer_list<std::uint32_t> notes,
                                     std::initializer_list<std::uint32_t> channels = {0}) {
    const auto soundfont = FindSoundfont(SoundfontCandidates());
    EXPECT_TRUE(soundfont.has_value()) << "no General MIDI soundfont installed";
    auto core = soundfont ? SynthCore::Create(*soundfont) : nullptr;
    EXPECT_NE(core, nullptr);
    for (std::uint32_t chan : channels) {
      if (core == nullptr) break;
      core->Send(PackShortMsg(kProgramChange, chan, kSquareLead, 0));
      for (std::uint32_t note : notes) core->Send(PackShortMsg(kNoteOn, chan, note, 127));
    }
    return core;
  }
};

TEST_F(SynthRender, NotesSoundAtTheirPitchAndTheSixteenBitRenderMatches) {
  for (const std::uint32_t note : {60u, 72u}) {  // 261.6 Hz and an octave up
    auto core = Playing({note});
    ASSERT_NE(core, nullptr);
    const auto stereo = core->RenderFloat(kRate);
    std::vector<float> mono;
    for (std::size_t f = kRate / 10; f * 2 + 1 < stereo.size(); ++f) {
      mono.push_back(stereo[f * 2] + stereo[f * 2 + 1]);
    }
    const double hz = 440.0 * std::pow(2.0, (static_cast<double>(note) - 69) / 12.0);
    EXPECT_NEAR(test::Fundamental(mono, kRate, 60, 2000), hz, hz * 0.01) << note;
  }

  // Two synthesizers, same messages: the 16-bit path is the float path
  // scaled to full range, up to the dither.
  auto as_float = Playing({60});
  auto as_s16 = Playing({60});
  ASSERT_TRUE(as_float && as_s16);
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

TEST_F(SynthRender, AllNotesOffOnEveryChannelFadesToSilence) {
  auto core = Playing({60, 64}, {0, 15});
  ASSERT_NE(core, nullptr);
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

}  // namespace
}  // namespace tonvale
