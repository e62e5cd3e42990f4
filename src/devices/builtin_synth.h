// The built-in synthesizer: FluidSynth with a General MIDI soundfont, played
// through one of FluidSynth's own audio drivers at the rate of the sound
// server behind it, so that nothing resamples on the way to the speakers.
#pragma once

#include <fluidsynth.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "devices/buffering.h"
#include "devices/loading_queue.h"
#include "devices/output_device.h"
#include "devices/server_questions.h"
#include "devices/synth_core.h"

namespace tonvale {

struct AudioOptions {
  std::string driver{};     // empty: try the usual ones in order
  std::string file_name{};  // for the "file" driver; empty: FluidSynth's default
  // The sound to keep ahead of the speaker (tonvale --latency), asked of
  // every path but JACK, which plays at its server's period. Empty: each
  // path's own (DefaultBufferingMs).
  std::optional<double> latency_ms{};

  // TONVALE_AUDIO_DRIVER and TONVALE_AUDIO_FILE.
  static AudioOptions FromEnvironment();
};

class BuiltinSynth : public OutputDevice {
 public:
  static constexpr const char* kName = "Built-in synthesizer (FluidSynth)";
  // How long opening waits for the sound servers' fresh answer before it
  // takes the last one.
  static constexpr std::chrono::milliseconds kFreshAnswerWait{20};

  // `soundfont` is loaded; when it cannot be, `fallbacks` are tried in turn
  // (the system's sets behind a user's own).
  explicit BuiltinSynth(std::string soundfont, AudioOptions audio = AudioOptions::FromEnvironment(),
                        std::vector<std::string> fallbacks = {});
  ~BuiltinSynth() override;

  // Asks the sound servers which rate it will play at, makes the
  // synthesizer at that rate and loads the soundfont, once; later calls
  // return the first result. Safe to call from another thread (the window
  // does it during its splash) so that Open is then quick. When the
  // soundfont cannot be loaded, one line on stderr says why and which
  // fallback plays instead.
  bool Preload();

  std::string Name() const override { return kName; }
  // Preloads if needed, then starts the first audio driver that works, at
  // its server's rate, and names on stderr the output reached, its rate and
  // the buffering in force; when none starts, says once on stderr why.
  bool Open() override;
  // Program changes, which may read samples from disk, are played on a
  // thread of their own; what follows them waits its turn (LoadingQueue).
  void Send(std::uint32_t packed) override;
  // Plays what is waiting, stops the audio driver and cuts every voice; the
  // soundfont stays loaded.
  void Close() override;

  bool is_open() const { return driver_ != nullptr; }
  // While open: FluidSynth's driver ("pulseaudio", "jack", ...), the output
  // it reached ("PipeWire 0.3.65 (PulseAudio protocol)", "JACK", ...), its
  // rate and the buffering FluidSynth took.
  std::optional<std::string> DriverName() const;
  std::optional<std::string> OutputName() const;
  std::optional<double> SampleRate() const;
  std::optional<double> LatencyMs() const;
  // The soundfont that loaded; nothing before Preload or when none did.
  std::optional<std::string> LoadedSoundfont() const;

 private:
  struct Output {
    std::string name;
    double rate = 0;
    double latency_ms = 0;
    int periods = 1;   // of the buffering
    std::string note;  // a buffering that could not be honoured, said before the start-up line
  };
  // Sets FluidSynth up for `driver` at `rate`; nothing, with the reason,
  // when it cannot be used.
  std::optional<Output> Prepare(const std::string& driver, double rate,
                                const ServerAnswers& servers, std::string& why_not);
  // Makes the synthesizer again at `rate` unless it already plays at it.
  bool UseRate(double rate, std::string& why_not);
  // Program 0 on every channel (the drum kit on channel 10), as MIDI starts.
  void SelectFirstInstruments();

  const std::string soundfont_;
  const std::vector<std::string> fallbacks_;
  const AudioOptions audio_;
  const std::vector<std::string> drivers_;  // this FluidSynth's audio drivers
  ServerQuestions servers_;

  mutable std::mutex
      load_mutex_;  // guards core_, loaded_ and loaded_path_ against a background Preload
  bool loaded_ = false;
  std::unique_ptr<SynthCore> core_;
  std::string loaded_path_;

  fluid_audio_driver_t* driver_ = nullptr;
  std::string driver_name_;
  Output output_;
  LoadingQueue queue_;  // last: its thread plays on core_ until it stops
};

}  // namespace tonvale
