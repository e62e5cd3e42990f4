// The real program end to end: heard as a desktop user hears it, run by an
// unprivileged user (nobody, when the tests run as root) on a desktop's own
// sound server (PipeWire, else PulseAudio) and Xvfb, played with real X key
// presses while the null sink is recorded; its command line; and its
// synthesizer on a JACK server.
#include <gtest/gtest.h>

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

TEST(SoundTest, ADesktopUserHearsEachKeyAtItsPitchWithoutADropout) {
  ScratchDir dir("tonvale-e2e");
  const DesktopUser desktop = AsDesktopUser(dir.path());
  ASSERT_EQ(desktop.error, "");
  const std::vector<std::string>& user = desktop.words;
  const auto as_user = [&](std::vector<std::string> args) {
    args.insert(args.begin(), user.begin(), user.end());
    return args;
  };
  XServer x(dir.path());
  ASSERT_TRUE(x.ok()) << x.error();
  const SoundServer sound(dir.path(), SoundServer::Installed(), user);
  ASSERT_TRUE(sound.ok()) << sound.error();
  Environment env = CurrentEnvironment();
  sound.AddTo(env);
  env["DISPLAY"] = x.display();
  env["QT_QPA_PLATFORM"] = "xcb";
  env["TONVALE_SPLASH_MS"] = "1";
  for (const char* n : {"TONVALE_AUDIO_DRIVER", "JACK_DEFAULT_SERVER", "PULSE_SERVER"})
    env.erase(n);
  const auto xdo = [&](const std::vector<std::string>& args) {
    return Xdotool(args, env, dir.path() / "xdotool.log");
  };
  const auto raw = dir.path() / "heard.raw";
  Process parec({as_user({"parec", "-d", "nullsink.monitor", "--latency-msec=50", "--format=s16le",
                          "--channels=2", "--rate=" + std::to_string(sound.rate()), raw.string()}),
                 env,
                 dir.path() / "parec.log",
                 {}});
  for (int i = 0; i < 500 && FileSize(raw) == 0; ++i) std::this_thread::sleep_for(10ms);

  // Copied where nobody can run it, wherever the build tree is.
  const auto program = dir.path() / "tonvale";
  std::filesystem::copy_file(TONVALE_PROGRAM, program);
  const auto start = [&](std::vector<std::string> args, const std::string& title) {
    args.insert(args.begin(), program.string());
    Process p({as_user(args), env, dir.path() / "tonvale.log", {}});
    std::string found;
    for (int i = 0; i < 400 && found.empty() && p.running(); ++i) {
      std::istringstream(xdo({"search", "--onlyvisible", "--name", title}).out) >> found;
      std::this_thread::sleep_for(50ms);
    }
    return std::pair{std::move(p), found};
  };
  auto [tonvale, window] = start({}, "^Tonvale - \\[");
  ASSERT_FALSE(window.empty()) << ReadText(dir.path() / "tonvale.log");
  ASSERT_EQ(xdo({"windowfocus", "--sync", window}).code, 0);
  // The instrument menu, family K, its first item: program 80, a square lead.
  // Each key waits for its menu window: one sent too early would play.
  const auto visible = [&] {
    const std::string out = xdo({"search", "--onlyvisible", "--class", "."}).out;
    return std::count(out.begin(), out.end(), '\n');
  };
  for (const auto& [key, windows] : {std::pair{"alt+2", 2}, {"k", 3}, {"1", 1}}) {
    ASSERT_EQ(xdo({"key", key}).code, 0);
    for (int i = 0; i < 200 && visible() != windows; ++i) std::this_thread::sleep_for(30ms);
    ASSERT_EQ(visible(), windows) << "after " << key;
  }
  ASSERT_EQ(xdo({"keydown", "a",     "sleep",   "0.8", "keyup",   "a",    "sleep",   "0.6",
                 "keydown", "shift", "keydown", "a",   "sleep",   "0.8",  "keyup",   "a",
                 "keyup",   "shift", "sleep",   "0.6", "keydown", "ctrl", "keydown", "a",
                 "sleep",   "0.8",   "keyup",   "a",   "keyup",   "ctrl", "sleep",   "0.6"})
                .code,
            0);
  ASSERT_TRUE(tonvale.running());
  parec.Stop();
  tonvale.Stop();

  // A recording named on the command line whose name is not UTF-8 loads: its
  // name is in the title. (Started apart: its playing by itself, ended by a
  // stop that silences every channel, would cut the keys above short.)
  const auto recording = dir.path() / std::string("\xe9t\xe9.qvi");
  const PerformanceEvent f1_up{0, 257, 0xC03B0001, 0};  // a key that plays nothing
  ASSERT_FALSE(WriteQviFile(recording, {&f1_up, 1}, 1297, false, {2024, 1, 1}).has_value());
  auto [loaded, title] = start({recording.string()}, "^Tonvale - \\[/.*\\.qvi\\]$");
  EXPECT_FALSE(title.empty()) << ReadText(dir.path() / "tonvale.log");
  loaded.Stop();

  const std::string log = ReadText(dir.path() / "tonvale.log");
  std::smatch line;
  ASSERT_TRUE(std::regex_search(log, line, std::regex("built-in synthesizer on (.*), (.*) ms of")))
      << log;
  EXPECT_NE(line[1].str().find(sound.pipewire() ? "PipeWire" : "PulseAudio"), std::string::npos);
  EXPECT_LE(std::stod(line[2]), sound.pipewire() ? 6.0 : 1000.0);
  const std::vector<float> heard = ReadRawStereo(raw.string());
  const int rate = sound.rate();
  // A tenth of the loudest: FluidR3_GM's square lead beats, dipping that low.
  const auto notes = FindNotes(heard, rate / 100, 0.1, 20);
  ASSERT_EQ(notes.size(), 3u) << log;
  const double hz[] = {261.63, 523.25, 130.81};  // A, Shift+A an octave up, Ctrl+A one down
  for (std::size_t i = 0; i < notes.size(); ++i) {
    ASSERT_GT(notes[i].size(), rate / 2u);
    EXPECT_EQ(CountDropouts(notes[i], rate / 1000), 0u) << "note " << i;
    EXPECT_NEAR(Fundamental(notes[i].subspan(rate / 10, rate / 4), rate, 60, 2000), hz[i],
                hz[i] / 100);
  }
}

// A chord played with Space held rings on after its keys come up, until
// Space does; the same chord without the pedal stops with its keys.
TEST(SoundTest, APedalledChordSustainsAfterItsKeysAreReleased) {
  ScratchDir dir("tonvale-e2e-pedal");
  const DesktopUser desktop = AsDesktopUser(dir.path());
  ASSERT_EQ(desktop.error, "");
  const std::vector<std::string>& user = desktop.words;
  const auto as_user = [&](std::vector<std::string> args) {
    args.insert(args.begin(), user.begin(), user.end());
    return args;
  };
  XServer x(dir.path());
  ASSERT_TRUE(x.ok()) << x.error();
  const SoundServer sound(dir.path(), SoundServer::Installed(), user);
  ASSERT_TRUE(sound.ok()) << sound.error();
  Environment env = CurrentEnvironment();
  sound.AddTo(env);
  env["DISPLAY"] = x.display();
  env["QT_QPA_PLATFORM"] = "xcb";
  env["TONVALE_SPLASH_MS"] = "1";
  env["LANGUAGE"] = "zh_CN";  // the menus' mnemonics below are the Chinese texts'
  env["LC_ALL"] = "C.UTF-8";
  for (const char* n : {"TONVALE_AUDIO_DRIVER", "JACK_DEFAULT_SERVER", "PULSE_SERVER"})
    env.erase(n);
  const auto xdo = [&](const std::vector<std::string>& args) {
    return Xdotool(args, env, dir.path() / "xdotool.log");
  };
  const auto raw = dir.path() / "heard.raw";
  Process parec({as_user({"parec", "-d", "nullsink.monitor", "--latency-msec=50", "--format=s16le",
                          "--channels=2", "--rate=" + std::to_string(sound.rate()), raw.string()}),
                 env,
                 dir.path() / "parec.log",
                 {}});
  for (int i = 0; i < 500 && FileSize(raw) == 0; ++i) std::this_thread::sleep_for(10ms);
  const auto program = dir.path() / "tonvale";
  std::filesystem::copy_file(TONVALE_PROGRAM, program);
  Process tonvale({as_user({program.string()}), env, dir.path() / "tonvale.log", {}});
  std::string window;
  for (int i = 0; i < 400 && window.empty() && tonvale.running(); ++i) {
    std::istringstream(xdo({"search", "--onlyvisible", "--name", "^Tonvale - \\["}).out) >> window;
    std::this_thread::sleep_for(50ms);
  }
  ASSERT_FALSE(window.empty()) << ReadText(dir.path() / "tonvale.log");
  ASSERT_EQ(xdo({"windowfocus", "--sync", window}).code, 0);
  // Program 80, a square lead, holds its level while a note is held: what
  // the pedal holds is as loud as the chord, and ends when it comes up.
  const auto visible = [&] {
    const std::string out = xdo({"search", "--onlyvisible", "--class", "."}).out;
    return std::count(out.begin(), out.end(), '\n');
  };
  for (const auto& [key, windows] : {std::pair{"alt+2", 2}, {"k", 3}, {"1", 1}}) {
    ASSERT_EQ(xdo({"key", key}).code, 0);
    for (int i = 0; i < 200 && visible() != windows; ++i) std::this_thread::sleep_for(30ms);
    ASSERT_EQ(visible(), windows) << "after " << key;
  }
  ASSERT_EQ(
      xdo({"keydown", "a", "keydown", "d",   "keydown", "g",     "sleep",   "0.5",   "keyup",   "a",
           "keyup",   "d", "keyup",   "g",   "sleep",   "1",     "keydown", "space", "keydown", "a",
           "keydown", "d", "keydown", "g",   "sleep",   "0.5",   "keyup",   "a",     "keyup",   "d",
           "keyup",   "g", "sleep",   "1.2", "keyup",   "space", "sleep",   "0.8"})
          .code,
      0);
  ASSERT_TRUE(tonvale.running());
  parec.Stop();
  tonvale.Stop();

  const int rate = sound.rate();
  const std::vector<float> heard = ReadRawStereo(raw.string());
  const auto chords = FindNotes(heard, rate / 100, 0.3, 20);
  ASSERT_EQ(chords.size(), 2u) << ReadText(dir.path() / "tonvale.log");
  const auto seconds = [rate](std::span<const float> chord) { return double(chord.size()) / rate; };
  EXPECT_LT(seconds(chords[0]), 0.9);  // 0.5 s of keys and the release
  EXPECT_GT(seconds(chords[1]), 1.5);  // 0.5 s of keys, then 1.2 s of pedal
  EXPECT_LT(seconds(chords[1]), 2.1);  // and no longer
}

TEST(CommandLine, HelpVersionAndWrongOptionsNeedNoDisplay) {
  ScratchDir dir("tonvale-cli");
  Environment env = CurrentEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.erase(name);
  EXPECT_TRUE(std::regex_match(RunToEnd({TONVALE_PROGRAM, "--version"}, env).out,
                               std::regex("tonvale [0-9.]+\n")));
  const RunResult help = RunToEnd({TONVALE_PROGRAM, "--help"}, env);
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(
      help.out.rfind("Usage: tonvale [--latency MS] [--soundfont FILE] [FILE.qvi | SONG.txt]\n", 0),
      0u)
      << help.out;
  for (const char* wrong :
       {"--bogus", "--latency", "--latency=0", "--latency=fast", "--soundfont", "--soundfont="}) {
    EXPECT_EQ(RunToEnd({TONVALE_PROGRAM, wrong}, env, 20s, dir.path() / wrong).code, 2) << wrong;
    EXPECT_NE(ReadText(dir.path() / wrong).find("\nUsage: tonvale "), std::string::npos) << wrong;
  }
}

TEST(SoundTest, OnARunningJackServerItPlaysAtItsPeriodIntoThePlaybackPorts) {
  ScratchDir dir("tonvale-jack-synth");
  JackServer jack;
  ASSERT_TRUE(jack.Start(256, dir.path())) << jack.error();
  BuiltinSynth synth(FindSoundfont(SoundfontCandidates()).value_or(""),
                     {.latency_ms = 46.4});  // not for JACK
  testing::internal::CaptureStderr();
  ASSERT_TRUE(synth.Open());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tonvale: built-in synthesizer on JACK, 48000 Hz, 5.3 ms of buffering\n");
  const std::string graph = RunToEnd({"jack_lsp", "-c"}).out;
  EXPECT_NE(graph.find("Tonvale:left\n   system:playback_1\n"), std::string::npos) << graph;
  EXPECT_NE(graph.find("Tonvale:right\n   system:playback_2\n"), std::string::npos) << graph;
}

}  // namespace
}  // namespace tonvale::test
