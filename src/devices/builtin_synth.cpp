#include "devices/builtin_synth.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "devices/audio_driver_order.h"
#include "devices/audio_log.h"
#include "devices/soundfont_search.h"

namespace tonvale {
namespace {

// ALSA straight to a card: the rate most cards and desktops run at. A card
// that refuses it is asked for CD rate; one that offers another is taken at
// its word.
constexpr double kAlsaRate = 48000;
constexpr double kAlsaFallbackRate = 44100;
// The first question waits for a whole answer: it runs during the splash,
// off the window's thread, and its answer sets the rate the soundfont is
// loaded at. PulseAudio's own question gives up after two seconds.
constexpr std::chrono::milliseconds kFirstAnswerWait{3000};

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::vector<std::string> AvailableDrivers() {
  std::vector<std::string> names;
  fluid_settings_t* settings = new_fluid_settings();
  if (settings == nullptr) return names;
  fluid_settings_foreach_option(
      settings, "audio.driver", &names, [](void* data, const char*, const char* option) {
        static_cast<std::vector<std::string>*>(data)->emplace_back(option);
      });
  delete_fluid_settings(settings);
  return names;
}

bool Contains(const std::vector<std::string>& list, const std::string& name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

// Only the servers whose drivers could be tried are asked: each question
// costs a connection.
ServerQuestions::Ask AskFor(const std::vector<std::string>& drivers, const std::string& only) {
  const auto wanted = [&](const char* name) {
    return Contains(drivers, name) && (only.empty() || only == name);
  };
  const bool jack = wanted("jack");
  const bool pulse = wanted("pulseaudio") || wanted("pipewire");
  return [jack, pulse] {
    ServerAnswers answers;
    if (jack) answers.jack = AskJackServer();
    if (pulse) answers.pulse = AskPulseServer();
    return answers;
  };
}

// The rate `driver` is tried at, from what the servers said; nothing when
// it cannot be used, with the reason.
std::optional<double> RateFor(const std::string& driver, const ServerAnswers& servers,
                              double own_rate, std::string& why_not) {
  if (driver == "jack") {
    if (servers.jack) return servers.jack->rate;
    why_not = "no JACK server is running";
    return std::nullopt;
  }
  if (driver == "pulseaudio") {
    if (servers.pulse) return servers.pulse->rate;
    why_not = "no sound server answered";
    return std::nullopt;
  }
  if (driver == "pipewire") {
    if (servers.pulse && servers.pulse->path == AudioPath::kPipeWire) return servers.pulse->rate;
    return kAlsaRate;
  }
  if (driver == "alsa") return kAlsaRate;
  // A file, or a driver we know nothing about: the synthesizer's own rate.
  return own_rate;
}

// What a driver got instead of what it asked, in FluidSynth's words
// ("Requested sample rate of 48000, got 44100 instead").
std::optional<int> GivenInstead(const std::vector<std::string>& warnings, std::string_view what) {
  for (const std::string& warning : warnings) {
    const auto got = warning.find(", got ");
    if (warning.find(what) == std::string::npos || got == std::string::npos) continue;
    return std::atoi(warning.c_str() + got + 6);
  }
  return std::nullopt;
}

}  // namespace

AudioOptions AudioOptions::FromEnvironment() {
  AudioOptions options;
  options.driver = Env("TONVALE_AUDIO_DRIVER");
  options.file_name = Env("TONVALE_AUDIO_FILE");
  return options;
}

BuiltinSynth::BuiltinSynth(std::string soundfont, AudioOptions audio,
                           std::vector<std::string> fallbacks)
    : soundfont_(std::move(soundfont)),
      fallbacks_(std::move(fallbacks)),
      audio_(std::move(audio)),
      drivers_(AvailableDrivers()),
      servers_(AskFor(drivers_, audio_.driver)),
      queue_([this](std::uint32_t packed) { core_->Send(packed); }) {
  RouteAudioLibraryMessages();
}

BuiltinSynth::~BuiltinSynth() {
  Close();
}

bool BuiltinSynth::Preload() {
  std::lock_guard lock(load_mutex_);
  if (loaded_) return core_ != nullptr;
  loaded_ = true;
  // Loaded at the rate of the output Open will most likely reach.
  const ServerAnswers servers = servers_.Answers(kFirstAnswerWait).value_or(ServerAnswers{});
  double rate = SynthCore::kSampleRate;
  for (const std::string& driver :
       AudioDriverOrder(drivers_, servers.jack.has_value(), audio_.driver)) {
    std::string unused;
    if (const std::optional<double> usable = RateFor(driver, servers, rate, unused)) {
      rate = *usable;
      break;
    }
  }
  AudioLogCapture capture;
  std::string failure;  // why the first choice did not load
  std::vector<std::string> tried{soundfont_};
  tried.insert(tried.end(), fallbacks_.begin(), fallbacks_.end());
  for (const std::string& path : tried) {
    std::string problem = SoundfontProblem(path);
    if (problem.empty()) {
      core_ = SynthCore::Create(path, rate, false);
      if (core_ != nullptr) {
        loaded_path_ = path;
        SelectFirstInstruments();
        break;
      }
      problem = capture.TakeLastError();
      if (problem.empty()) problem = "FluidSynth cannot read it";
    }
    // Only the first choice's failure is news: the fallbacks are places to
    // look, and most of them are missing on any one system.
    if (failure.empty()) failure = problem;
  }
  if (!failure.empty() && loaded_path_ != soundfont_) {
    if (core_ != nullptr) {
      std::fprintf(stderr, "tonvale: cannot load the soundfont %s (%s); playing %s instead\n",
                   soundfont_.c_str(), failure.c_str(), loaded_path_.c_str());
    } else {
      std::fprintf(stderr, "tonvale: cannot load the soundfont %s (%s)\n", soundfont_.c_str(),
                   failure.c_str());
    }
  }
  return core_ != nullptr;
}

void BuiltinSynth::SelectFirstInstruments() {
  // The piano and the drum kit alone are a third of a megabyte for a small
  // set and tens for a full one: read on the loading thread, they keep the
  // window's start short, and a key pressed meanwhile waits for them.
  for (std::uint32_t channel = 0; channel < 16; ++channel) queue_.Send(0xC0 | channel);
}

bool BuiltinSynth::UseRate(double rate, std::string& why_not) {
  if (core_->sample_rate() == rate) return true;
  queue_.Drain();  // nothing may still be playing on the synthesizer replaced
  std::unique_ptr<SynthCore> core = SynthCore::Create(loaded_path_, rate, false);
  if (core == nullptr) {
    why_not = "cannot make the synthesizer at " + std::to_string(static_cast<int>(rate)) + " Hz";
    return false;
  }
  core_ = std::move(core);
  SelectFirstInstruments();
  return true;
}

std::optional<BuiltinSynth::Output> BuiltinSynth::Prepare(const std::string& driver, double rate,
                                                          const ServerAnswers& servers,
                                                          std::string& why_not) {
  fluid_settings_t* settings = core_->settings();
  if (driver == "jack") {
    // FluidSynth plays at the server's period whatever it is asked; its
    // ports stay unconnected, and so silent, unless told otherwise.
    fluid_settings_setint(settings, "audio.jack.autoconnect", 1);
    fluid_settings_setstr(settings, "audio.jack.id", "Tonvale");
    return Output{"JACK", rate, servers.jack->period_ms(), 1, {}};
  }
  Output output{driver, rate, 0, 1, {}};
  AudioPath path = AudioPath::kOther;
  if (driver == "pulseaudio") {
    // PulseAudio and PipeWire both answer here, and need very different buffering.
    output.name = servers.pulse->label;
    path = servers.pulse->path;
  } else if (driver == "pipewire") {
    output.name = "PipeWire";
    path = AudioPath::kPipeWire;
  } else if (driver == "alsa") {
    output.name = "ALSA";
    path = AudioPath::kAlsa;
  }
  // FluidSynth's PulseAudio driver keeps one period in the server and ignores
  // the count, so there the whole buffering is its period.
  const bool one_period = driver == "pulseaudio";
  const double ms = audio_.latency_ms.value_or(DefaultBufferingMs(path));
  const Buffering wanted = BufferingForMs(ms, rate, one_period ? 1 : 3);
  // FluidSynth keeps its old value for one outside its range, so the range
  // is kept to, and what it took is read back.
  int low = 0;
  int high = 0;
  fluid_settings_getint_range(settings, "audio.period-size", &low, &high);
  const int period = std::clamp(wanted.period_frames, low, high);
  if (period != wanted.period_frames) {
    char note[200];
    std::snprintf(note, sizeof note,
                  "%.1f ms of buffering would need periods of %d frames at %.0f Hz, but "
                  "FluidSynth takes %d to %d: %d are used",
                  ms, wanted.period_frames, rate, low, high, period);
    output.note = note;
  }
  fluid_settings_setint(settings, "audio.period-size", period);
  fluid_settings_setint(settings, "audio.periods", one_period ? 2 : wanted.periods);
  int taken_period = 0;
  int taken_periods = 0;
  if (fluid_settings_getint(settings, "audio.period-size", &taken_period) != FLUID_OK ||
      fluid_settings_getint(settings, "audio.periods", &taken_periods) != FLUID_OK) {
    why_not = "FluidSynth has no buffering settings";
    return std::nullopt;
  }
  output.periods = one_period ? 1 : taken_periods;
  output.latency_ms = Buffering{taken_period, output.periods}.Ms(rate);
  return output;
}

bool BuiltinSynth::Open() {
  Close();
  if (!Preload()) return false;
  AudioLogCapture capture;
  // A fresh answer when the servers give one at once; else the last.
  const ServerAnswers servers = servers_.Answers(kFreshAnswerWait).value_or(ServerAnswers{});
  const auto order = AudioDriverOrder(drivers_, servers.jack.has_value(), audio_.driver);
  std::string reasons;
  if (order.empty()) {
    if (audio_.driver == "jack" && Contains(drivers_, "jack")) {
      reasons = "jack: no JACK server is running";
    } else {
      reasons = audio_.driver.empty() ? "no audio driver available"
                                      : "audio driver \"" + audio_.driver + "\" not available";
    }
  }
  for (const auto& name : order) {
    std::string why_not;
    std::optional<double> next = RateFor(name, servers, core_->sample_rate(), why_not);
    for (int attempt = 0; next && attempt < 2; ++attempt) {
      const double rate = *std::exchange(next, std::nullopt);
      if (!UseRate(rate, why_not)) break;
      if (!audio_.file_name.empty()) {
        fluid_settings_setstr(core_->settings(), "audio.file.name", audio_.file_name.c_str());
      }
      std::optional<Output> output = Prepare(name, rate, servers, why_not);
      if (!output ||
          fluid_settings_setstr(core_->settings(), "audio.driver", name.c_str()) != FLUID_OK) {
        break;
      }
      driver_ = new_fluid_audio_driver(core_->settings(), core_->synth());
      const std::string error = capture.TakeLastError();
      const std::vector<std::string> warnings = capture.TakeWarnings();
      // A card that plays at another rate than asked would play out of tune.
      if (const std::optional<int> given = GivenInstead(warnings, "sample rate");
          driver_ != nullptr && given && *given != rate) {
        delete_fluid_audio_driver(driver_);
        driver_ = nullptr;
        next = *given;
        why_not = "the card plays at " + std::to_string(*given) + " Hz";
        continue;
      }
      if (driver_ != nullptr) {
        if (const std::optional<int> period = GivenInstead(warnings, "period size")) {
          output->latency_ms = Buffering{*period, output->periods}.Ms(rate);
        }
        driver_name_ = name;
        output_ = *output;
        if (!output_.note.empty()) std::fprintf(stderr, "tonvale: %s\n", output_.note.c_str());
        // The one place a user can see what the key-to-sound delay is made of.
        std::fprintf(stderr, "tonvale: built-in synthesizer on %s, %.0f Hz, %.1f ms of buffering\n",
                     output_.name.c_str(), output_.rate, output_.latency_ms);
        return true;
      }
      why_not = error.empty() ? "did not start" : error;
      if (name == "alsa" && error.find("sample rate") != std::string::npos &&
          rate != kAlsaFallbackRate) {
        next = kAlsaFallbackRate;
      }
    }
    reasons += (reasons.empty() ? "" : "; ") + name + ": " + why_not;
  }
  std::fprintf(stderr, "tonvale: no audio output could start for the built-in synthesizer (%s)\n",
               reasons.c_str());
  return false;
}

void BuiltinSynth::Send(std::uint32_t packed) {
  if (driver_ != nullptr) queue_.Send(packed);
}

void BuiltinSynth::Close() {
  if (driver_ == nullptr) return;
  queue_.Drain();
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

std::optional<double> BuiltinSynth::SampleRate() const {
  if (driver_ == nullptr) return std::nullopt;
  return output_.rate;
}

std::optional<double> BuiltinSynth::LatencyMs() const {
  if (driver_ == nullptr) return std::nullopt;
  return output_.latency_ms;
}

std::optional<std::string> BuiltinSynth::LoadedSoundfont() const {
  std::lock_guard lock(load_mutex_);
  if (core_ == nullptr) return std::nullopt;
  return loaded_path_;
}

}  // namespace tonvale
