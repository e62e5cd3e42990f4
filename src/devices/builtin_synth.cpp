#include "devices/builtin_synth.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "devices/audio_driver_order.h"
#include "devices/audio_log.h"
#include "devices/audio_server.h"
#include "devices/jack_probe.h"

namespace tonvale {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::vector<std::string> AvailableDrivers(fluid_settings_t* settings) {
  std::vector<std::string> names;
  fluid_settings_foreach_option(
      settings, "audio.driver", &names, [](void* data, const char*, const char* option) {
        static_cast<std::vector<std::string>*>(data)->emplace_back(option);
      });
  return names;
}

bool Contains(const std::vector<std::string>& list, const std::string& name) {
  for (const auto& item : list) {
    if (item == name) return true;
  }
  return false;
}

}  // namespace

AudioOptions AudioOptions::FromEnvironment() {
  AudioOptions options;
  options.driver = Env("TONVALE_AUDIO_DRIVER");
  options.file_name = Env("TONVALE_AUDIO_FILE");
  return options;
}

BuiltinSynth::BuiltinSynth(std::string soundfont_path, AudioOptions audio)
    : soundfont_path_(std::move(soundfont_path)), audio_(std::move(audio)) {
  RouteAudioLibraryMessages();
}

BuiltinSynth::~BuiltinSynth() {
  Close();
}

bool BuiltinSynth::Preload() {
  std::lock_guard lock(load_mutex_);
  if (!loaded_) {
    AudioLogCapture capture;
    core_ = SynthCore::Create(soundfont_path_);
    loaded_ = true;
    if (core_ == nullptr) {
      std::fprintf(stderr, "tonvale: cannot load the soundfont %s (%s)\n", soundfont_path_.c_str(),
                   capture.TakeLastError().c_str());
    }
  }
  return core_ != nullptr;
}

std::optional<BuiltinSynth::Output> BuiltinSynth::Prepare(const std::string& driver,
                                                          std::optional<double> jack_period_ms,
                                                          std::string& why_not) {
  fluid_settings_t* settings = core_->settings();
  if (driver == "jack") {
    // FluidSynth plays at the server's period whatever it is asked; its
    // ports stay unconnected, and so silent, unless told otherwise.
    if (!jack_period_ms) {
      why_not = "no JACK server is running";
      return std::nullopt;
    }
    fluid_settings_setint(settings, "audio.jack.autoconnect", 1);
    fluid_settings_setstr(settings, "audio.jack.id", "Tonvale");
    return Output{"JACK", *jack_period_ms};
  }
  Output output{driver, 0};
  AudioPath path = AudioPath::kOther;
  if (driver == "pulseaudio") {
    // PulseAudio and PipeWire both answer here, and need very different buffering.
    const std::optional<PulseServer> server = AskPulseServer();
    if (!server) {
      why_not = "no sound server answered";
      return std::nullopt;
    }
    output.name = server->label;
    path = server->path;
  } else if (driver == "pipewire") {
    output.name = "PipeWire";
    path = AudioPath::kPipeWire;
  } else if (driver == "alsa") {
    output.name = "ALSA";
    path = AudioPath::kAlsa;
  }
  const Buffering buffering = audio_.buffering.value_or(DefaultBuffering(path));
  // FluidSynth's PulseAudio driver keeps one period in the server and ignores
  // the count, so there the whole buffering is its period.
  const bool one_period = driver == "pulseaudio";
  fluid_settings_setint(settings, "audio.period-size",
                        one_period ? buffering.frames() : buffering.period_frames);
  fluid_settings_setint(settings, "audio.periods", one_period ? 2 : buffering.periods);
  output.latency_ms = buffering.Ms(core_->sample_rate());
  return output;
}

bool BuiltinSynth::Open() {
  Close();
  if (!Preload()) return false;
  AudioLogCapture capture;
  fluid_settings_t* settings = core_->settings();
  if (!audio_.file_name.empty()) {
    fluid_settings_setstr(settings, "audio.file.name", audio_.file_name.c_str());
  }
  const auto available = AvailableDrivers(settings);
  // Only ask about JACK when it could be used: the question costs a connection.
  const bool jack_wanted =
      Contains(available, "jack") && (audio_.driver.empty() || audio_.driver == "jack");
  // Asked once: the answer also gives the period JACK will play at.
  const std::optional<double> jack_period_ms = jack_wanted ? JackPeriodMs() : std::nullopt;
  const auto order = AudioDriverOrder(available, jack_period_ms.has_value(), audio_.driver);
  std::string reasons;
  if (order.empty()) {
    if (jack_wanted && !audio_.driver.empty()) {
      reasons = "jack: no JACK server is running";
    } else {
      reasons = audio_.driver.empty() ? "no audio driver available"
                                      : "audio driver \"" + audio_.driver + "\" not available";
    }
  }
  for (const auto& name : order) {
    std::string why_not;
    std::optional<Output> output = Prepare(name, jack_period_ms, why_not);
    if (output && fluid_settings_setstr(settings, "audio.driver", name.c_str()) == FLUID_OK) {
      driver_ = new_fluid_audio_driver(settings, core_->synth());
      if (driver_ != nullptr) {
        driver_name_ = name;
        output_ = *output;
        // The one place a user can see what the key-to-sound delay is made of.
        std::fprintf(stderr, "tonvale: built-in synthesizer on %s, %.1f ms of buffering\n",
                     output_.name.c_str(), output_.latency_ms);
        return true;
      }
      why_not = capture.TakeLastError();
      if (why_not.empty()) why_not = "did not start";
    }
    reasons += (reasons.empty() ? "" : "; ") + name + ": " + why_not;
  }
  std::fprintf(stderr, "tonvale: no audio output could start for the built-in synthesizer (%s)\n",
               reasons.c_str());
  return false;
}

void BuiltinSynth::Send(std::uint32_t packed) {
  if (driver_ != nullptr) core_->Send(packed);
}

void BuiltinSynth::Close() {
  if (driver_ == nullptr) return;
  delete_fluid_audio_driver(driver_);
  driver_ = nullptr;
  driver_name_.clear();
  fluid_synth_all_sounds_off(core_->synth(), -1);
}

std::optional<std::string> BuiltinSynth::DriverName() const {
  if (driver_ == nullptr) return std::nullopt;
  return driver_name_;
}

std::optional<std::string> BuiltinSynth::OutputName() const {
  if (driver_ == nullptr) return std::nullopt;
  return output_.name;
}

std::optional<double> BuiltinSynth::LatencyMs() const {
  if (driver_ == nullptr) return std::nullopt;
  return output_.latency_ms;
}

}  // namespace tonvale
