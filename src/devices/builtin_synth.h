// The built-in synthesizer: FluidSynth with a General MIDI soundfont, played
// through one of FluidSynth's own audio drivers.
#pragma once

#include <fluidsynth.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "devices/buffering.h"
#include "devices/output_device.h"
#include "devices/synth_core.h"

namespace tonvale {

struct AudioOptions {
  std::string driver{};     // empty: try the usual ones in order
  std::string file_name{};  // for the "file" driver; empty: FluidSynth's default
  // Asked of every path but JACK, which plays at its server's period. Empty:
  // each path's own (DefaultBuffering).
  std::optional<Buffering> buffering{};

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
  // during its splash) so that Open is then quick. A soundfont that does
  // not load is named once on stderr, with the reason.
  bool Preload();

  std::string Name() const override { return kName; }
  // Preloads if needed, then starts the first audio driver that works and
  // names on stderr the output reached and its buffering; when none starts,
  // says once on stderr why.
  bool Open() override;
  void Send(std::uint32_t packed) override;
  // Stops the audio driver and cuts every voice; the soundfont stays loaded.
  void Close() override;

  bool is_open() const { return driver_ != nullptr; }
  // While open: FluidSynth's driver ("pulseaudio", "jack", ...), the output
  // it reached ("PipeWire 0.3.65 (PulseAudio protocol)", "JACK", ...) and the
  // buffering in force.
  std::optional<std::string> DriverName() const;
  std::optional<std::string> OutputName() const;
  std::optional<double> LatencyMs() const;
  const std::string& soundfont_path() const { return soundfont_path_; }

 private:
  struct Output {
    std::string name;
    double latency_ms = 0;
  };
  // Sets FluidSynth up for `driver` (`jack_period_ms`: the running JACK
  // server's period, if any); nothing, with the reason, when it cannot be used.
  std::optional<Output> Prepare(const std::string& driver, std::optional<double> jack_period_ms,
                                std::string& why_not);

  const std::string soundfont_path_;
  const AudioOptions audio_;

  std::mutex load_mutex_;  // guards core_ and loaded_ against a background Preload
  bool loaded_ = false;
  std::unique_ptr<SynthCore> core_;

  fluid_audio_driver_t* driver_ = nullptr;
  std::string driver_name_;
  Output output_;
};

}  // namespace tonvale
