// The built-in synthesizer heard where users hear it. As a desktop user:
// the real program, run by an unprivileged user (nobody, when the tests run
// as root) with the sound server of a Debian 12 desktop (PipeWire, or
// PulseAudio where pipewire-pulse is not installed) and Xvfb, is played with
// real X key presses while the server's null sink is recorded. And on a
// running JACK server, where it plays at the server's period into the
// playback ports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <sstream>
#include <thread>

#include "child_process.h"
#include "devices/builtin_synth.h"
#include "devices/soundfont_search.h"
#include "files/qvi_file.h"
#include "servers.h"
#include "sound_analysis.h"

namespace tonvale::test {
namespace {

using namespace std::chrono_literals;

RunResult Xdo(std::vector<std::string> args, const Environment& env) {
  args.insert(args.begin(), "xdotool");
  return RunToEnd(std::move(args), env);
}

// Waits until `count` windows are visible: a menu is a window of its own,
// and a key sent before it is up would play instead.
bool WaitForWindows(std::size_t count, const Environment& env) {
  for (int i = 0; i < 200; ++i) {
    std::istringstream lines(Xdo({"search", "--onlyvisible", "--class", "."}, env).out);
    std::size_t seen = 0;
    for (std::string line; std::getline(lines, line);) seen += !line.empty();
    if (seen == count) return true;
    std::this_thread::sleep_for(30ms);
  }
  return false;
}

TEST(SoundTest, ADesktopUserHearsEachKeyAtItsPitchWithoutADropout) {
  ScratchDir dir("tonvale-e2e");
  const std::vector<std::string> user = AsDesktopUser(dir.path());
  XServer x(dir.path());
  ASSERT_TRUE(x.ok()) << x.error();
  const SoundServer sound(dir.path(), SoundServer::Installed(), user);
  ASSERT_TRUE(sound.ok()) << sound.error();
  Environment env = CurrentEnvironment();
  sound.AddTo(env);
  env["DISPLAY"] = x.display();
  env["QT_QPA_PLATFORM"] = "xcb";
  env["TONVALE_SPLASH_MS"] = "1";
  for (const char* name : {"TONVALE_AUDIO_DRIVER", "JACK_DEFAULT_SERVER", "PULSE_SERVER"}) {
    env.erase(name);
  }
  const auto as_user = [&](std::vector<std::string> args) {
    args.insert(args.begin(), user.begin(), user.end());
    return args;
  };
  const auto raw = dir.path() / "heard.raw";
  Process recorder(SpawnOptions{
      .args = as_user({"parec", "-d", "nullsink.monitor", "--latency-msec=20", "--format=s16le",
                       "--channels=2", "--rate=" + std::to_string(sound.rate()), raw.string()}),
      .env = env,
      .log = dir.path() / "parec.log",
      .fds = {}});
  for (int i = 0; i < 500 && FileSize(raw) < 4096; ++i) std::this_thread::sleep_for(10ms);
  ASSERT_GE(FileSize(raw), 4096u) << ReadText(dir.path() / "parec.log");

  // Where `nobody` can run it, wherever the build tree is.
  const auto program = dir.path() / "tonvale";
  std::filesystem::copy_file(TONVALE_PROGRAM, program);
  // A recording whose name is not UTF-8: it loads and names the window. Its
  // one event, a key that plays nothing, is played by itself after start.
  const auto recording = dir.path() / std::string("\xe9t\xe9.qvi");
  const PerformanceEvent f1_up{0, 257, 0xC03B0001, 0};
  ASSERT_FALSE(WriteQviFile(recording, {&f1_up, 1}, 1297, false, {2024, 1, 1}).has_value());
  Process tonvale(SpawnOptions{.args = as_user({program.string(), recording.string()}),
                               .env = env,
                               .log = dir.path() / "tonvale.log",
                               .fds = {}});
  std::string window;
  for (int i = 0; i < 400 && window.empty() && tonvale.running(); ++i) {
    std::istringstream(Xdo({"search", "--onlyvisible", "--name", "^Tonvale - \\[/"}, env).out) >>
        window;
    if (window.empty()) std::this_thread::sleep_for(50ms);
  }
  ASSERT_FALSE(window.empty()) << ReadText(dir.path() / "tonvale.log");
  ASSERT_EQ(Xdo({"windowfocus", "--sync", window}, env).code, 0);
  // The instrument menu, family K, its first item: program 80, a square lead.
  for (const auto& [key, windows] : {std::pair{"alt+2", 2}, {"k", 3}, {"1", 1}}) {
    ASSERT_EQ(Xdo({"key", key}, env).code, 0);
    ASSERT_TRUE(WaitForWindows(windows, env)) << "after " << key;
  }
  ASSERT_EQ(Xdo({"keydown", "a",     "sleep",   "0.8", "keyup", "a",   "sleep", "0.6",  // middle C
                 "keydown", "shift", "keydown", "a",   "sleep", "0.8", "keyup", "a",
                 "keyup",   "shift", "sleep",   "0.6",  // an octave up
                 "keydown", "ctrl",  "keydown", "a",   "sleep", "0.8", "keyup", "a",
                 "keyup",   "ctrl",  "sleep",   "0.6"},  // an octave down
                env)
                .code,
            0);
  ASSERT_TRUE(tonvale.running()) << ReadText(dir.path() / "tonvale.log");
  recorder.Stop();
  tonvale.Stop();

  const std::string log = ReadText(dir.path() / "tonvale.log");
  std::smatch line;
  ASSERT_TRUE(std::regex_search(
      log, line, std::regex("tonvale: built-in synthesizer on (.*), ([0-9.]+) ms of buffering\n")))
      << log;
  EXPECT_NE(line[1].str().find(sound.pipewire() ? "PipeWire" : "PulseAudio"), std::string::npos);
  if (sound.pipewire()) {
    EXPECT_LE(std::stod(line[2]), 6.0);
  }

  const std::vector<float> heard = ReadRawStereo(raw.string());
  const int rate = sound.rate();
  const auto notes = FindNotes(heard, rate / 100, 0.3, 20);
  ASSERT_EQ(notes.size(), 3u) << log;
  const double expected[] = {261.63, 523.25, 130.81};
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const std::span<const float> note(heard.begin() + notes[i].begin, heard.begin() + notes[i].end);
    ASSERT_GT(note.size(), rate / 2u) << "note " << i;
    EXPECT_EQ(CountDropouts(note, rate / 1000), 0u) << "note " << i;
    const auto steady = note.subspan(rate / 10, note.size() - rate / 5);
    EXPECT_NEAR(Fundamental(steady, rate, 60, 2000), expected[i], expected[i] * 0.01) << i;
  }
}

TEST(SoundTest, OnARunningJackServerItPlaysAtItsPeriodIntoThePlaybackPorts) {
  ScratchDir dir("tonvale-jack-synth");
  JackServer jack;
  ASSERT_TRUE(jack.Start(256, dir.path())) << jack.error();
  const auto soundfont = FindSoundfont(SoundfontCandidates());
  ASSERT_TRUE(soundfont.has_value());
  BuiltinSynth synth(*soundfont, {.buffering = Buffering{1024, 2}});  // not for JACK
  testing::internal::CaptureStderr();
  ASSERT_TRUE(synth.Open());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tonvale: built-in synthesizer on JACK, 5.3 ms of buffering\n");  // 256 / 48 kHz
  const std::string graph = RunToEnd({"jack_lsp", "-c"}).out;
  EXPECT_NE(graph.find("Tonvale:left\n   system:playback_1\n"), std::string::npos) << graph;
  EXPECT_NE(graph.find("Tonvale:right\n   system:playback_2\n"), std::string::npos) << graph;
}

}  // namespace
}  // namespace tonvale::test
