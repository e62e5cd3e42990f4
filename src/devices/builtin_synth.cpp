#include "devices/builtin_synth.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "devices/audio_driver_order.h"
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

bool Contains(const std::vector<std::string>& list, const char* name) {
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
    : soundfont_path_(std::move(soundfont_path)), audio_(std::move(audio)) {}

BuiltinSynth::~BuiltinSynth() {
  Close();
}

bool BuiltinSynth::Preload() {
  std::lock_guard lock(load_mutex_);
  if (!loaded_) {
    core_ = SynthCore::Create(soundfont_path_);
    loaded_ = true;
  }
  return core_ != nullptr;
}

bool BuiltinSynth::Open() {
  Close();
  if (!Preload()) return false;
  fluid_settings_t* settings = core_->settings();
  fluid_settings_setint(settings, "audio.period-size", audio_.period_size);
  fluid_settings_setint(settings, "audio.periods", audio_.periods);
  if (!audio_.file_name.empty()) {
    fluid_settings_setstr(settings, "audio.file.name", audio_.file_name.c_str());
  }
  const auto available = AvailableDrivers(settings);
  // Only ask about JACK when it could be used: the question costs a connection.
  const bool jack_wanted =
      Contains(available, "jack") && (audio_.driver.empty() || audio_.driver == "jack");
  const bool jack_running = jack_wanted && JackServerRunning();
  for (const auto& name : AudioDriverOrder(available, jack_running, audio_.driver)) {
    if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
    driver_ = new_fluid_audio_driver(settings, core_->synth());
    if (driver_ != nullptr) {
      driver_name_ = name;
      // The one place a user can see what the key-to-sound delay is made of.
      if (const std::optional<double> latency = LatencyMs()) {
        std::fprintf(stderr, "tonvale: built-in synthesizer on %s, %.1f ms of buffering\n",
                     name.c_str(), *latency);
      }
      return true;
    }
  }
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

std::optional<double> BuiltinSynth::LatencyMs() const {
  if (driver_ == nullptr) return std::nullopt;
  fluid_settings_t* settings = core_->settings();
  int period_size = 0;
  int periods = 0;
  double rate = 0;
  fluid_settings_getint(settings, "audio.period-size", &period_size);
  fluid_settings_getint(settings, "audio.periods", &periods);
  fluid_settings_getnum(settings, "synth.sample-rate", &rate);
  if (rate <= 0) return std::nullopt;
  return 1000.0 * period_size * periods / rate;
}

}  // namespace tonvale
