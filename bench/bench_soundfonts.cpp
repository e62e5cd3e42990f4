// What each installed General MIDI soundfont costs where a player meets it.
//
// The real program, under an Xvfb of its own with a private sound server
// (PipeWire where installed, else PulseAudio; both started here and stopped
// by their process ids), started with --soundfont FILE:
//   startup_ms     process start to "tonvale: ready" (TONVALE_REPORT_READY=1):
//                  the window up and the output open; the splash is 1 ms
//   first_note_ms  process start to the first sound of a key pressed as soon
//                  as the window is ready (xdotool focuses the window and
//                  presses A), heard in the null sink's monitor
//   key_ms         of that, from starting xdotool to the sound
// The window itself, offscreen in a child process, on the same server:
//   change_ms      a tool-bar button's action on the window's thread, for
//                  each of the 14 tool-bar instruments in turn, none played
//                  before (median and most)
//   read_ms        what the same program change costs the synthesizer itself,
//                  on one of its own: the samples read. The window no longer
//                  waits for it; a note played at once waits that long
//                  (median and most)
//   rss_mb         the child's resident memory with the window open, then
//                  after each of the 14 has played a note
//
// Usage: bench_soundfonts [runs] [SOUNDFONT...]
// Defaults: 5 runs of the program, after a warm-up, for every soundfont
// found in the system's places. The file cache is warm after the warm-up;
// a first start after boot reads more from disk. Last lines: a table, one
// row per soundfont.
#include <fcntl.h>
#include <poll.h>
#include <pulse/simple.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "devices/soundfont_search.h"
#include "devices/synth_core.h"
#include "devices/system_midi_out.h"
#include "perform/instrument_catalogue.h"
#include "perform/midi_messages.h"
#include "servers.h"
#include "shell/main_window.h"
#include "shell/notices.h"
#include "shell/pictures.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace test = tonvale::test;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return NAN;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(std::lround(fraction * (values.size() - 1)))];
}

double RssMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return NAN;
}

// Every distinct soundfont file in the system's places.
std::vector<std::string> InstalledSoundfonts() {
  std::vector<std::string> places = tonvale::SystemSoundfonts();
  for (const char* dir :
       {"/usr/share/sounds/sf2", "/usr/share/sounds/sf3", "/usr/share/soundfonts"}) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
      places.push_back(entry.path().string());
    }
  }
  std::vector<std::string> found;
  std::set<std::filesystem::path> seen;
  for (const std::string& path : places) {
    std::error_code error;
    const auto real = std::filesystem::canonical(path, error);
    if (error || !tonvale::SoundfontProblem(real).empty() || !seen.insert(real).second) continue;
    found.push_back(real.string());
  }
  return found;
}

// The null sink's monitor, read in 5 ms pieces, each stamped as it arrives:
// when the first sound after a moment was played.
class Monitor {
 public:
  explicit Monitor(int rate) : rate_(rate) {
    const pa_sample_spec spec{PA_SAMPLE_S16LE, static_cast<std::uint32_t>(rate), 2};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(rate / 200 * 4);
    stream_ = pa_simple_new(nullptr, "bench_soundfonts", PA_STREAM_RECORD, "nullsink.monitor",
                            "monitor", &spec, nullptr, &attr, nullptr);
    if (stream_ != nullptr) thread_ = std::jthread([this](std::stop_token stop) { Read(stop); });
  }
  ~Monitor() {
    thread_ = {};
    if (stream_ != nullptr) pa_simple_free(stream_);
  }
  bool ok() const { return stream_ != nullptr; }

  // From now on, the first sound that is not silence is kept.
  void Watch() {
    std::lock_guard lock(mutex_);
    sound_.reset();
    watch_from_ = Clock::now();
  }
  // When it sounded; nothing if none came within `wait`.
  std::optional<Clock::time_point> FirstSound(std::chrono::milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    while (Clock::now() < deadline) {
      {
        std::lock_guard lock(mutex_);
        if (sound_) return sound_;
      }
      std::this_thread::sleep_for(2ms);
    }
    return std::nullopt;
  }

 private:
  void Read(std::stop_token stop) {
    std::vector<std::int16_t> piece(static_cast<std::size_t>(rate_ / 200 * 2));
    while (!stop.stop_requested()) {
      if (pa_simple_read(stream_, piece.data(), piece.size() * 2, nullptr) < 0) return;
      const auto arrived = Clock::now();
      const auto latency = std::chrono::microseconds(pa_simple_get_latency(stream_, nullptr));
      const auto loud = std::find_if(piece.begin(), piece.end(), [](std::int16_t s) {
        return std::abs(int{s}) > 16;  // above -66 dBFS
      });
      if (loud == piece.end()) continue;
      const auto frames_after = (piece.end() - loud) / 2;
      const auto sounded =
          arrived - latency - std::chrono::microseconds(frames_after * 1000000 / rate_);
      std::lock_guard lock(mutex_);
      if (!sound_ && sounded > watch_from_) sound_ = sounded;
    }
  }

  const int rate_;
  pa_simple* stream_ = nullptr;
  std::mutex mutex_;
  Clock::time_point watch_from_ = Clock::time_point::max();
  std::optional<Clock::time_point> sound_;
  std::jthread thread_;
};

struct Start {
  double ready_ms = NAN;
  double first_note_ms = NAN;
  double key_ms = NAN;
};

// One start of the program, a key pressed at once, the sound awaited.
std::optional<Start> StartOnce(const std::string& program, const std::string& soundfont,
                               const test::Environment& env, Monitor& monitor,
                               const std::filesystem::path& log) {
  int err[2];
  if (pipe2(err, O_CLOEXEC) != 0) return std::nullopt;
  const auto start = Clock::now();
  test::Process child(test::SpawnOptions{
      .args = {program, "--soundfont", soundfont}, .env = env, .log = log, .fds = {{err[1], 2}}});
  close(err[1]);
  std::string text;
  Start run;
  while (Clock::now() - start < 20s && text.find("tonvale: ready") == std::string::npos) {
    pollfd fd{err[0], POLLIN, 0};
    if (poll(&fd, 1, 100) <= 0) continue;
    char buffer[1024];
    const ssize_t n = read(err[0], buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(err[0]);
  if (text.find("tonvale: ready") == std::string::npos) {
    std::fprintf(stderr, "not ready within 20 s:\n%s\n", text.c_str());
    return std::nullopt;
  }
  const auto ready = Clock::now();
  run.ready_ms = Ms(ready - start);
  monitor.Watch();
  const auto key = Clock::now();
  test::RunToEnd({"xdotool", "search", "--sync", "--onlyvisible", "--name", "^Tonvale - ",
                  "windowfocus", "--sync", "keydown", "a"},
                 env);
  const std::optional<Clock::time_point> sound = monitor.FirstSound(3s);
  test::RunToEnd({"xdotool", "keyup", "a"}, env);
  child.Stop();
  if (!sound) {
    std::fprintf(stderr, "the key was never heard:\n%s\n", text.c_str());
    return std::nullopt;
  }
  run.first_note_ms = Ms(*sound - start);
  run.key_ms = Ms(*sound - key);
  return run;
}

// In the child: the window offscreen, its tool bar pressed button by button.
int WindowChild(const std::string& soundfont) {
  int argc = 1;
  char name[] = "bench_soundfonts";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  tonvale::DeviceSearch search = tonvale::DeviceSearch::FromEnvironment();
  search.chosen_soundfont = soundfont;
  search.soundfonts.clear();
  search.ports = {.alsa = false, .jack = false};
  tonvale::SystemMidiOut out(search);
  const tonvale::Pictures pictures = tonvale::LoadPictures();
  tonvale::QtNotices notices;
  tonvale::MainWindow window(out, pictures, notices);
  if (!window.Create() || !out.open_device()) {
    std::fprintf(stderr, "the window did not open the built-in synthesizer\n");
    return 1;
  }
  const double open_rss = RssMb();
  std::vector<double> change_ms;
  for (QAction* button : window.ToolBarActions()) {
    const auto before = Clock::now();
    button->trigger();
    change_ms.push_back(Ms(Clock::now() - before));
    QApplication::processEvents();
    out.Send(tonvale::PackShortMsg(tonvale::kNoteOn, 0, 60, 100));
    std::this_thread::sleep_for(200ms);
    out.Send(tonvale::PackShortMsg(tonvale::kNoteOff, 0, 60, 0));
  }
  const double played_rss = RssMb();
  window.close();
  // The same changes on a synthesizer of its own, timed where they run.
  std::vector<double> read_ms;
  const auto core = tonvale::SynthCore::Create(soundfont, 48000);
  for (const std::int32_t program : tonvale::ToolbarPrograms()) {
    const auto before = Clock::now();
    core->Send(tonvale::PackShortMsg(tonvale::kProgramChange, 0, program, 0));
    read_ms.push_back(Ms(Clock::now() - before));
  }
  std::printf("change_ms %.2f %.2f\nread_ms %.1f %.1f\nrss_mb %.0f %.0f\n",
              Percentile(change_ms, 0.5), Percentile(change_ms, 1), Percentile(read_ms, 0.5),
              Percentile(read_ms, 1), open_rss, played_rss);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--window-child") == 0) return WindowChild(argv[2]);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  std::vector<std::string> soundfonts(argv + std::min(argc, 2), argv + argc);
  if (soundfonts.empty()) soundfonts = InstalledSoundfonts();
  if (soundfonts.empty()) {
    std::fprintf(stderr, "no soundfont found\n");
    return 1;
  }

  test::ScratchDir dir("tonvale-soundfonts");
  test::XServer x(dir.path());
  if (!x.ok()) {
    std::fprintf(stderr, "%s\n", x.error().c_str());
    return 1;
  }
  const test::SoundServer sound(dir.path());
  if (!sound.ok()) {
    std::fprintf(stderr, "%s\n", sound.error().c_str());
    return 1;
  }
  test::Environment env = test::CurrentEnvironment();
  sound.AddTo(env);
  for (const char* name : {"TONVALE_AUDIO_DRIVER", "TONVALE_SOUNDFONT", "PULSE_SERVER"}) {
    env.erase(name);
    unsetenv(name);
  }
  for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
  env["DISPLAY"] = x.display();
  env["QT_QPA_PLATFORM"] = "xcb";
  env["TONVALE_SPLASH_MS"] = "1";
  env["TONVALE_REPORT_READY"] = "1";
  Monitor monitor(sound.rate());
  if (!monitor.ok()) {
    std::fprintf(stderr, "cannot record the null sink's monitor\n");
    return 1;
  }
  std::printf("server %s runs %d\n", sound.pipewire() ? "PipeWire" : "PulseAudio", runs);

  struct Row {
    std::string soundfont;
    double startup, first_note, key;
    std::string window;
  };
  std::vector<Row> rows;
  for (const std::string& soundfont : soundfonts) {
    std::vector<double> ready, first, key;
    for (int i = 0; i <= runs; ++i) {  // run 0 warms the file cache
      const auto run = StartOnce(TONVALE_PROGRAM, soundfont, env, monitor,
                                 dir.path() / ("tonvale-" + std::to_string(i) + ".log"));
      if (!run) return 1;
      std::printf("%s run %d startup_ms %.1f first_note_ms %.1f key_ms %.1f\n",
                  std::filesystem::path(soundfont).filename().c_str(), i, run->ready_ms,
                  run->first_note_ms, run->key_ms);
      if (i == 0) continue;
      ready.push_back(run->ready_ms);
      first.push_back(run->first_note_ms);
      key.push_back(run->key_ms);
    }
    test::Environment offscreen = env;
    offscreen["QT_QPA_PLATFORM"] = "offscreen";
    const test::RunResult window = test::RunToEnd({argv[0], "--window-child", soundfont}, offscreen,
                                                  60s, dir.path() / "window.log");
    if (window.code != 0) {
      std::fprintf(stderr, "the window run failed:\n%s\n",
                   test::ReadText(dir.path() / "window.log").c_str());
      return 1;
    }
    std::printf("%s", window.out.c_str());
    std::fflush(stdout);
    std::map<std::string, std::string> values;
    std::istringstream lines(window.out);
    for (std::string line; std::getline(lines, line);) {
      values[line.substr(0, line.find(' '))] = line.substr(line.find(' ') + 1);
    }
    rows.push_back({std::filesystem::path(soundfont).filename().string(), Percentile(ready, 0.5),
                    Percentile(first, 0.5), Percentile(key, 0.5),
                    values["change_ms"] + " | " + values["read_ms"] + " | " + values["rss_mb"]});
  }
  std::printf(
      "\n| soundfont | startup_ms | first_note_ms | key_ms | change_ms median max | "
      "read_ms median max | rss_mb open played |\n|---|---|---|---|---|---|---|\n");
  for (const Row& row : rows) {
    std::printf("| %s | %.0f | %.0f | %.0f | %s |\n", row.soundfont.c_str(), row.startup,
                row.first_note, row.key, row.window.c_str());
  }
  return 0;
}
