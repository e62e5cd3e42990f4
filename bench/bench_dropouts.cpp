// Dropouts of the built-in synthesizer on a desktop's sound servers.
//
// For each server (a private PipeWire session: D-Bus session bus, pipewire,
// wireplumber and pipewire-pulse; and a private PulseAudio), each with a
// null sink as its default output, and each buffering: the built-in
// synthesizer opens exactly as the program opens it (same class, same
// audio path, same settings), plays held notes and chords on the square
// lead without a pause for the given time, and parec records the sink's
// monitor. A dropout is a run of at least 1 ms of exact digital silence
// with sound on both sides: the server had nothing to play, an audible click.
//
// The synthesizer plays at the server's own rate, as the program opens it.
//
// Usage: bench_dropouts [--seconds N] [--server pipewire|pulseaudio]
//                       [--sweep 2.7,5.3,10.7] [--busy] [--keep DIR]
//   --seconds  playing time per run (default 60)
//   --server   only this server (default both that are installed; the
//              PulseAudio runs need the pulseaudio package)
//   --sweep    these bufferings in milliseconds, as tonvale --latency takes
//              them (default: the program's own choice for each server)
//   --busy     keep every core busy meanwhile, as a build does
//   --keep D   keep each recording in folder D, as <server>-<ms>.raw
//              (16-bit stereo at the sink's rate) for a look
// One line per run:
//   server S rate_hz R buffering_ms X dropouts_per_min Y
// Run it as an unprivileged user (the servers then lack real-time
// scheduling, as without rtkit):
//   setpriv --reuid=nobody --regid=nogroup --clear-groups build/bench/bench_dropouts
#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "devices/builtin_synth.h"
#include "devices/soundfont_search.h"
#include "perform/midi_messages.h"
#include "servers.h"
#include "sound_analysis.h"

namespace {

using namespace std::chrono_literals;
using tonvale::PackShortMsg;
namespace test = tonvale::test;

constexpr int kSquareLead = 80;

std::optional<double> ParseMs(const std::string& text) {
  char* end = nullptr;
  const double ms = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !(ms > 0)) return std::nullopt;
  return ms;
}

// Chords and single notes in turn, each held two seconds, the next one
// struck 100 ms before the last is let go, so that the sound never stops.
void Play(tonvale::BuiltinSynth& synth, std::chrono::seconds length) {
  const std::vector<std::vector<unsigned>> steps{{60, 64, 67}, {62}, {65, 69, 72}, {55}};
  synth.Send(PackShortMsg(tonvale::kProgramChange, 0, kSquareLead, 0));
  const auto start = std::chrono::steady_clock::now();
  const std::vector<unsigned>* held = nullptr;
  for (std::size_t i = 0; std::chrono::steady_clock::now() - start < length; ++i) {
    const auto& step = steps[i % steps.size()];
    for (unsigned note : step) synth.Send(PackShortMsg(tonvale::kNoteOn, 0, note, 100));
    std::this_thread::sleep_for(100ms);
    if (held != nullptr) {
      for (unsigned note : *held) synth.Send(PackShortMsg(tonvale::kNoteOff, 0, note, 0));
    }
    held = &step;
    std::this_thread::sleep_until(start + (i + 1) * 2s - 100ms);
  }
  std::this_thread::sleep_for(100ms);
  for (unsigned note : *held) synth.Send(PackShortMsg(tonvale::kNoteOff, 0, note, 0));
}

// Returns the dropouts per minute, or nothing when the run could not be made.
std::optional<double> RunOnce(const test::SoundServer& server, const std::string& soundfont,
                              const std::optional<double>& latency_ms, std::chrono::seconds length,
                              const std::filesystem::path& dir, std::string& label, double& rate,
                              double& ms) {
  test::Environment env = test::CurrentEnvironment();
  server.AddTo(env);
  for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
  const auto raw = dir / "monitor.raw";
  std::filesystem::remove(raw);
  test::Process recorder(test::SpawnOptions{
      .args = {"parec", "-d", "nullsink.monitor", "--latency-msec=200", "--format=s16le",
               "--channels=2", "--rate=" + std::to_string(server.rate()), raw.string()},
      .env = env,
      .log = dir / "parec.log",
      .fds = {}});
  for (int i = 0; i < 500 && test::FileSize(raw) < 4096; ++i) std::this_thread::sleep_for(10ms);
  if (test::FileSize(raw) < 4096) {
    std::fprintf(stderr, "parec recorded nothing: %s\n", test::ReadText(dir / "parec.log").c_str());
    return std::nullopt;
  }
  tonvale::BuiltinSynth synth(
      soundfont, tonvale::AudioOptions{.driver = "pulseaudio", .latency_ms = latency_ms});
  if (!synth.Open()) return std::nullopt;
  label = synth.OutputName().value_or("?");
  rate = synth.SampleRate().value_or(0);
  ms = synth.LatencyMs().value_or(0);
  Play(synth, length);
  std::this_thread::sleep_for(500ms);
  synth.Close();
  recorder.Stop();
  // From the first sound to the last note-off: the notes' tails do not count.
  std::vector<float> heard = test::ReadRawStereo(raw.string());
  const auto first = std::find_if(heard.begin(), heard.end(), [](float s) { return s != 0; });
  const std::size_t playing = std::min<std::size_t>(
      static_cast<std::size_t>(heard.end() - first),
      static_cast<std::size_t>(server.rate()) * static_cast<std::size_t>(length.count()));
  const std::size_t dropouts =
      test::CountDropouts(std::span<const float>(&*first, playing), server.rate() / 1000);
  return dropouts * 60.0 / static_cast<double>(length.count());
}

}  // namespace

int main(int argc, char** argv) {
  std::chrono::seconds length(60);
  std::vector<test::SoundServer::Kind> kinds;
  std::vector<std::optional<double>> sweep;
  bool busy = false;
  std::filesystem::path keep;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const std::string value = i + 1 < argc ? argv[i + 1] : "";
    if (arg == "--busy") {
      busy = true;
      continue;
    }
    ++i;
    if (arg == "--seconds" && std::atoi(value.c_str()) > 0) {
      length = std::chrono::seconds(std::atoi(value.c_str()));
    } else if (arg == "--server" && (value == "pipewire" || value == "pulseaudio")) {
      kinds.push_back(value == "pipewire" ? test::SoundServer::Kind::kPipeWire
                                          : test::SoundServer::Kind::kPulseAudio);
    } else if (arg == "--keep" && !value.empty()) {
      keep = value;
    } else if (arg == "--sweep") {
      std::istringstream list(value);
      for (std::string item; std::getline(list, item, ',');) {
        sweep.push_back(ParseMs(item));
        if (!sweep.back()) {
          std::fprintf(stderr, "not a buffering: %s (want milliseconds, e.g. 5.3)\n", item.c_str());
          return 2;
        }
      }
    } else {
      std::fprintf(stderr,
                   "usage: %s [--seconds N] [--server pipewire|pulseaudio] "
                   "[--sweep 2.7,5.3,...] [--busy] [--keep DIR]\n",
                   argv[0]);
      return 2;
    }
  }
  if (kinds.empty()) {
    kinds.push_back(test::SoundServer::Kind::kPulseAudio);
    if (test::SoundServer::Installed() == test::SoundServer::Kind::kPipeWire) {
      kinds.insert(kinds.begin(), test::SoundServer::Kind::kPipeWire);
    }
  }
  if (sweep.empty()) sweep.emplace_back();
  const auto soundfont = tonvale::FindSoundfont(tonvale::SoundfontCandidates());
  if (!soundfont) {
    std::fprintf(stderr, "no General MIDI soundfont found (set TONVALE_SOUNDFONT)\n");
    return 1;
  }

  std::atomic<bool> stop{false};
  std::vector<std::jthread> load;
  for (unsigned i = 0; busy && i < std::max(1u, std::thread::hardware_concurrency()); ++i) {
    load.emplace_back([&stop] {
      while (!stop.load(std::memory_order_relaxed)) {
      }
    });
  }
  int failures = 0;
  for (const auto kind : kinds) {
    test::ScratchDir dir("tonvale-dropouts");
    const test::SoundServer server(dir.path(), kind);
    if (!server.ok()) {
      std::fprintf(stderr, "%s\n", server.error().c_str());
      ++failures;
      continue;
    }
    for (const auto& latency_ms : sweep) {
      std::string label;
      double rate = 0;
      double ms = 0;
      const auto per_min =
          RunOnce(server, *soundfont, latency_ms, length, dir.path(), label, rate, ms);
      if (!per_min) {
        ++failures;
        continue;
      }
      // The server's own word for itself: "PipeWire", "PulseAudio".
      std::printf("server %s rate_hz %.0f buffering_ms %.1f dropouts_per_min %.1f\n",
                  label.substr(0, label.find(' ')).c_str(), rate, ms, *per_min);
      std::fflush(stdout);
      if (!keep.empty()) {
        std::filesystem::copy_file(
            dir.path() / "monitor.raw",
            keep / (label.substr(0, label.find(' ')) + "-" + std::to_string(ms) + ".raw"),
            std::filesystem::copy_options::overwrite_existing);
      }
    }
  }
  stop = true;
  return failures == 0 ? 0 : 1;
}
