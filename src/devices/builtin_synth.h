// The built-in synthesizer: FluidSynth with a General MIDI soundfont, played
// through one of FluidSynth's own audio drivers.
#pragma once

#include <fluidsynth.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "devices/output_device.h"
#include "devices/synth_core.h"

namespace tonvale {

struct AudioOptions {
  std::string driver;     // empty: try the usual ones in order
  std::string file_name;  // for the "file" driver; empty: FluidSynth's default
  int period_size = 64;   // frames; small periods keep the keys immediate
  int periods = 3;

  // TONVALE_AUDIO_DRIVER and TONVALE_AUDIO_FILE.
  static AudioOptions FromEnvironment();
};

class BuiltinSynth : public OutputDevice {
 public:
  static constexpr const char* kName = "Built-in synthesizer (FluidSynth)";

  explicit BuiltinSynth(std::string soundfont_path,
                        AudioOptions audio = AudioOptions::FromEnvironment());
  ~BuiltinSynth() override;

  // Makes the synthesizer and loads the soundfont, once; later calls return
  // the first result. Safe to call from another thread (the window does it
  // during its splash) so that Open is then quick.
  bool Preload();

  std::string Name() const override { return kName; }
  // Preloads if needed, then starts the first audio driver that works.
  bool Open() override;
  void Send(std::uint32_t packed) override;
  // Stops the audio driver and cuts every voice; the soundfont stays loaded.
  void Close() override;

  bool is_open() const { return driver_ != nullptr; }
  // While open: the driver in use and the configured output latency,
  // period size * periods / sample rate.
  std::optional<std::string> DriverName() const;
  std::optional<double> LatencyMs() const;
  const std::string& soundfont_path() const { return soundfont_path_; }

 private:
  const std::string soundfont_path_;
  const AudioOptions audio_;

  std::mutex load_mutex_;  // guards core_ and loaded_ against a background Preload
  bool loaded_ = false;
  std::unique_ptr<SynthCore> core_;

  fluid_audio_driver_t* driver_ = nullptr;
  std::string driver_name_;
};

}  // namespace tonvale
