// Key-to-sound latency of the built-in synthesizer on a real audio path.
//
// A JACK server with the dummy back-end is started here (its period is the
// period size the program asks FluidSynth for) and stopped again by its
// process id. The program's own device list opens the built-in synthesizer
// on it, and a small JACK client of ours listens to the synthesizer's output
// ports. For each note: the JACK clock is read, the Note On goes out the way a
// key press sends it, and the listener finds the first frame of the output
// above -80 dBFS. That frame sounds the port's playback latency (JACK's
// buffering up to the playback device) after the start of the cycle that
// rendered it, plus its place in the period.
//
// The start of the cycle is taken as the moment our process callback runs,
// which comes after FluidSynth's in the same cycle. The nominal frame time
// (jack_frames_to_time) is no use here: JACK runs without real-time
// scheduling next to other work, cycles are often handled late, and their
// nominal times then lie before the key press, by up to 150 ms. The figure is
// therefore an upper bound of what a real-time set-up gives.
//
// Included: waiting for the next period in which FluidSynth renders, its
// event queue, the instrument's attack up to the first audible frame, and
// JACK's buffering to the playback ports. Not included: the keyboard and the
// window system before the key handler runs, and whatever a real sound card
// adds after JACK (the dummy back-end has none).
//
// configured_ms is BuiltinSynth::LatencyMs(), the period size times the
// periods the program asks for; on JACK the server's period and the port
// latency, printed too, are what apply.
//
// Usage: bench_latency [notes] (default 20). Last line:
//   latency_ms <median> configured_ms <BuiltinSynth::LatencyMs()>
#include <jack/jack.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "devices/builtin_synth.h"
#include "devices/system_midi_out.h"
#include "perform/midi_messages.h"

namespace {

using namespace std::chrono_literals;
using tonvale::PackShortMsg;

constexpr int kSampleRate = 44100;
constexpr float kAudible = 1e-4f;  // -80 dBFS: the first frame above it is "the sound"
constexpr float kQuiet = 1e-5f;    // below this the output counts as silent between notes
constexpr int kProgram = 80;       // square lead: a quick attack, like most keys are played
constexpr int kNote = 60;

// Our listening client: two inputs fed from the synthesizer's outputs.
struct Listener {
  jack_client_t* client = nullptr;
  jack_port_t* in[2] = {nullptr, nullptr};
  std::atomic<bool> armed{false};
  // When the first audible frame was rendered, in microseconds on the JACK
  // clock; 0 = not yet.
  std::atomic<jack_time_t> heard_at{0};
  std::atomic<jack_time_t> last_sound_at{0};

  ~Listener() {
    if (client != nullptr) jack_client_close(client);
  }

  static int Process(jack_nframes_t frames, void* arg) {
    auto* self = static_cast<Listener*>(arg);
    const jack_time_t now = jack_get_time();
    const jack_nframes_t rate = jack_get_sample_rate(self->client);
    const auto* left = static_cast<const float*>(jack_port_get_buffer(self->in[0], frames));
    const auto* right = static_cast<const float*>(jack_port_get_buffer(self->in[1], frames));
    float peak = 0;
    for (jack_nframes_t i = 0; i < frames; ++i) {
      const float level = std::max(std::fabs(left[i]), std::fabs(right[i]));
      peak = std::max(peak, level);
      if (level > kAudible && self->armed.load(std::memory_order_acquire) &&
          self->heard_at.load(std::memory_order_relaxed) == 0) {
        self->heard_at.store(now + jack_time_t{i} * 1'000'000 / rate, std::memory_order_release);
      }
    }
    if (peak > kQuiet) self->last_sound_at.store(now, std::memory_order_relaxed);
    return 0;
  }
};

std::vector<std::string> PortNames(jack_client_t* client, const char* pattern,
                                   unsigned long flags) {
  std::vector<std::string> names;
  if (const char** list = jack_get_ports(client, pattern, JACK_DEFAULT_AUDIO_TYPE, flags)) {
    for (const char** p = list; *p != nullptr; ++p) names.emplace_back(*p);
    jack_free(list);
  }
  return names;
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(std::lround(fraction * (values.size() - 1)));
  return values[index];
}

int Run(int notes, const std::filesystem::path& dir) {
  const std::string server = "tonvale-latency-" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
  setenv("JACK_NO_START_SERVER", "1", 1);
  setenv("TONVALE_AUDIO_DRIVER", "jack", 1);  // the server we start, not whatever else runs

  const int period = tonvale::BufferingForMs(tonvale::DefaultBufferingMs(tonvale::AudioPath::kAlsa),
                                             kSampleRate, 3)
                         .period_frames;
  // Declared first, so that it stops last, after every client has gone.
  tonvale::test::Process jackd(tonvale::test::SpawnOptions{
      .args = {"jackd", "--no-realtime", "-n", server, "-d", "dummy", "-r",
               std::to_string(kSampleRate), "-p", std::to_string(period)},
      .env = tonvale::test::CurrentEnvironment(),
      .log = dir / "jackd.log",
      .fds = {}});
  if (!jackd.running()) {
    std::fprintf(stderr, "cannot start jackd\n");
    return 1;
  }

  // libjack's own complaints while the server comes up are not ours to show.
  jack_set_error_function([](const char*) {});
  jack_set_info_function([](const char*) {});
  Listener listener;
  for (int i = 0; i < 200 && listener.client == nullptr; ++i) {
    listener.client = jack_client_open("tonvale-latency", JackNoStartServer, nullptr);
    if (listener.client == nullptr) std::this_thread::sleep_for(25ms);
  }
  if (listener.client == nullptr) {
    std::fprintf(stderr, "jackd did not come up (see %s)\n", (dir / "jackd.log").c_str());
    return 1;
  }
  listener.in[0] =
      jack_port_register(listener.client, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  listener.in[1] =
      jack_port_register(listener.client, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
  jack_set_process_callback(listener.client, &Listener::Process, &listener);
  if (jack_activate(listener.client) != 0) {
    std::fprintf(stderr, "cannot activate the listener\n");
    return 1;
  }

  // The device list as the program makes it; device -1 is the built-in synthesizer.
  tonvale::DeviceSearch search = tonvale::DeviceSearch::FromEnvironment();
  search.ports = tonvale::PortApis{.alsa = false, .jack = false};
  tonvale::SystemMidiOut out(search);
  if (out.synth() == nullptr) {
    std::fprintf(stderr, "no soundfont found (set TONVALE_SOUNDFONT)\n");
    return 1;
  }
  const auto open_start = std::chrono::steady_clock::now();
  if (!out.Open(-1)) {
    std::fprintf(stderr, "the built-in synthesizer did not open on JACK\n");
    return 1;
  }
  const double open_ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - open_start)
          .count();
  const double configured_ms = out.synth()->LatencyMs().value_or(0);

  // The synthesizer's outputs: to the playback ports, as a session would
  // connect them, and to us.
  std::vector<std::string> synth_ports;
  for (const auto& name : PortNames(listener.client, nullptr, JackPortIsOutput)) {
    if (name.rfind("system:", 0) != 0) synth_ports.push_back(name);
  }
  const auto playback = PortNames(listener.client, "^system:", JackPortIsInput);
  if (synth_ports.size() < 2 || playback.size() < 2) {
    std::fprintf(stderr, "expected two synthesizer outputs and two playback ports\n");
    return 1;
  }
  for (int c = 0; c < 2; ++c) {
    jack_connect(listener.client, synth_ports[c].c_str(), jack_port_name(listener.in[c]));
    jack_connect(listener.client, synth_ports[c].c_str(), playback[c].c_str());
  }
  std::this_thread::sleep_for(200ms);  // latencies are recomputed after a graph change

  const jack_nframes_t buffer = jack_get_buffer_size(listener.client);
  const jack_nframes_t rate = jack_get_sample_rate(listener.client);
  jack_latency_range_t range{};
  jack_port_get_latency_range(jack_port_by_name(listener.client, synth_ports[0].c_str()),
                              JackPlaybackLatency, &range);
  const double playback_us = 1e6 * range.max / rate;

  std::printf("driver %s\n", out.synth()->DriverName().value_or("?").c_str());
  std::printf("synth_open_ms %.2f\n", open_ms);
  std::printf("jack_period_frames %u rate %u period_ms %.3f\n", buffer, rate, 1e3 * buffer / rate);
  std::printf("port_playback_latency_frames %u..%u (%.3f ms)\n", range.min, range.max,
              playback_us / 1e3);

  out.Send(PackShortMsg(tonvale::kProgramChange, 0, kProgram, 0));
  const auto wait_for_silence = [&] {
    for (int i = 0; i < 400; ++i) {  // a released note and its reverb die away within seconds
      const jack_time_t last = listener.last_sound_at.load();
      if (last == 0 || jack_get_time() - last > 300'000) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  };

  std::vector<double> latencies;
  for (int n = 0; n < notes; ++n) {
    if (!wait_for_silence()) {
      std::fprintf(stderr, "the output never fell silent\n");
      return 1;
    }
    listener.heard_at = 0;
    listener.armed.store(true, std::memory_order_release);
    const jack_time_t pressed = jack_get_time();
    out.Send(PackShortMsg(tonvale::kNoteOn, 0, kNote, 127));
    jack_time_t heard = 0;
    for (int i = 0; i < 1000 && heard == 0; ++i) {
      std::this_thread::sleep_for(1ms);
      heard = listener.heard_at.load(std::memory_order_acquire);
    }
    listener.armed = false;
    std::this_thread::sleep_for(100ms);
    out.Send(PackShortMsg(tonvale::kNoteOff, 0, kNote, 0));
    if (heard == 0) {
      std::fprintf(stderr, "note %d was never heard\n", n);
      return 1;
    }
    const auto since_press = [&](jack_time_t t) {
      return (static_cast<double>(t) - static_cast<double>(pressed)) / 1e3;
    };
    const double ms = since_press(heard) + playback_us / 1e3;
    latencies.push_back(ms);
    std::printf("note %2d latency_ms %.3f rendered_after_ms %.3f\n", n, ms, since_press(heard));
  }
  out.Close();

  const double median = Percentile(latencies, 0.5);
  std::printf("notes %zu min_ms %.3f median_ms %.3f p90_ms %.3f max_ms %.3f\n", latencies.size(),
              Percentile(latencies, 0), median, Percentile(latencies, 0.9),
              Percentile(latencies, 1));
  std::printf("goal_ms 5 %s\n", median <= 5.0 ? "met" : "missed");
  std::printf("latency_ms %.3f configured_ms %.3f\n", median, configured_ms);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int notes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const tonvale::test::ScratchDir dir("tonvale-latency");
  return Run(notes, dir.path());
}
