// A FluidSynth synthesizer with a soundfont loaded and no audio output of its
// own. Rendered by hand it is the offline renderer (the command-line tool
// writes recordings to WAV with it); the built-in synthesizer hands it to an
// audio driver instead.
#pragma once

#include <fluidsynth.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tonvale {

class SynthCore {
 public:
  static constexpr double kSampleRate = 44100.0;

  // Nothing when the synthesizer cannot be made or the soundfont not loaded.
  // An instrument's samples are read when a program change first selects it
  // on some channel (and dropped when no channel has it any more), so a
  // program change may take as long as reading them. With
  // `select_instruments` every channel gets program 0 (channel 10 the drum
  // kit) at once; without, no channel sounds before its program change.
  static std::unique_ptr<SynthCore> Create(const std::string& soundfont_path,
                                           double sample_rate = kSampleRate,
                                           bool select_instruments = true);
  ~SynthCore();
  SynthCore(const SynthCore&) = delete;
  SynthCore& operator=(const SynthCore&) = delete;

  // One packed short message, played at once (see PlayShortMessage).
  void Send(std::uint32_t packed);

  // Renders interleaved stereo (left, right, left, ...): out.size() / 2 frames.
  void Render(std::span<std::int16_t> out);
  void Render(std::span<float> out);
  std::vector<std::int16_t> RenderS16(int frames);
  std::vector<float> RenderFloat(int frames);

  double sample_rate() const { return sample_rate_; }
  fluid_settings_t* settings() { return settings_; }
  fluid_synth_t* synth() { return synth_; }

 private:
  SynthCore() = default;

  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  double sample_rate_ = kSampleRate;
};

}  // namespace tonvale
