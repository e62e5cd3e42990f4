// The real program heard as a desktop user hears it (nobody, when run as root)
// on a private sound server and Xvfb; its command line; its synthesizer on JACK.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <thread>

#include "child_process.h"
#include "devices/builtin_synth.h"
#include "devices/soundfont_search.h"
#include "files/qvi_file.h"
#include "sound_analysis.h"
#include "x_desktop.h"

namespace tonvale::test {
namespace {

using namespace std::chrono_literals;

// The program copied where nobody can run it, wherever the build tree is,
// and the null sink recorded from the start.
class DesktopSound : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(user_.error, "");
    ASSERT_TRUE(x_.ok()) << x_.error();
    sound_ = std::make_unique<SoundServer>(dir_.path(), SoundServer::Installed(), user_.words);
    ASSERT_TRUE(sound_->ok()) << sound_->error();
    Environment& env = desk_.env;
    sound_->AddTo(env);
    env["TONVALE_SPLASH_MS"] = "1";
    for (const char* n : {"TONVALE_AUDIO_DRIVER", "TONVALE_AUDIO_FILE", "JACK_DEFAULT_SERVER",
                          "PULSE_SERVER", "LANGUAGE", "LC_ALL"})
      env.erase(n);
    desk_.log = dir_.path() / "tonvale.log";
    parec_ = Process(
        {AsUser({"parec", "-d", "nullsink.monitor", "--latency-msec=50", "--format=s16le",
                 "--channels=2", "--rate=" + std::to_string(sound_->rate()), raw_.string()}),
         env,
         dir_.path() / "parec.log",
         {}});
    for (int i = 0; i < 500 && FileSize(raw_) == 0; ++i) std::this_thread::sleep_for(10ms);
    std::filesystem::copy_file(TONVALE_PROGRAM, program_);
  }

  std::vector<std::string> AsUser(std::vector<std::string> args) const {
    args.insert(args.begin(), user_.words.begin(), user_.words.end());
    return args;
  }
  // Starts the program with `args`; its window titled `title`.
  std::string Start(std::vector<std::string> args, const std::string& title) {
    args.insert(args.begin(), program_.string());
    tonvale_ = Process({AsUser(args), desk_.env, desk_.log, {}});
    return desk_.Await(title, 1);
  }
  // Program 80, a square lead (family K, first item), holds its level while a
  // note is held. Each key waits for its menu: one sent too early would play.
  void ChooseSquareLead() {
    const std::string window = Start({}, "^Tonvale - \\[");
    ASSERT_FALSE(window.empty());
    desk_.Xdo({"windowfocus", "--sync", window});
    desk_.Menu('2', {"k"}, 3);
    desk_.Xdo({"key", "1"});
    desk_.Await("^tonvale$", 1, "--classname");
    ASSERT_FALSE(HasFailure());
  }
  // Plays `keys` (xdotool's words), then ends the recording and the program.
  void Play(const std::vector<std::string>& keys) {
    desk_.Xdo(keys);
    ASSERT_TRUE(tonvale_.running());
    parec_.Stop();
    tonvale_.Stop();
  }
  std::vector<float> Heard() const { return ReadRawStereo(raw_.string()); }
  std::string Log() const { return ReadText(desk_.log); }

  ScratchDir dir_{"tonvale-e2e"};
  const DesktopUser user_ = AsDesktopUser(dir_.path());
  XServer x_{dir_.path()};
  XDesktop desk_{x_, dir_.path()};
  std::unique_ptr<SoundServer> sound_;
  const std::filesystem::path raw_ = dir_.path() / "heard.raw";
  const std::filesystem::path program_ = dir_.path() / "tonvale";
  Process parec_, tonvale_;
};

TEST_F(DesktopSound, ADesktopUserHearsEachKeyAtItsPitchWithoutADropout) {
  ASSERT_NO_FATAL_FAILURE(ChooseSquareLead());
  ASSERT_NO_FATAL_FAILURE(
      Play({"keydown", "a",     "sleep",   "0.8", "keyup",   "a",    "sleep",   "0.6",
            "keydown", "shift", "keydown", "a",   "sleep",   "0.8",  "keyup",   "a",
            "keyup",   "shift", "sleep",   "0.6", "keydown", "ctrl", "keydown", "a",
            "sleep",   "0.8",   "keyup",   "a",   "keyup",   "ctrl", "sleep",   "0.6"}));

  // A recording named on the command line whose name is not UTF-8 loads: its
  // name is in the title. (Started apart: its playing by itself, ended by a
  // stop that silences every channel, would cut the keys above short.)
  const auto recording = dir_.path() / std::string("\xe9t\xe9.qvi");
  const PerformanceEvent f1_up{0, 257, 0xC03B0001, 0};  // a key that plays nothing
  ASSERT_FALSE(WriteQviFile(recording, {&f1_up, 1}, 1297, false, {2024, 1, 1}).has_value());
  Start({recording.string()}, "^Tonvale - \\[/.*\\.qvi\\]$");
  tonvale_.Stop();

  const std::string log = Log();
  std::smatch line;
  ASSERT_TRUE(std::regex_search(log, line, std::regex("built-in synthesizer on (.*), (.*) ms of")))
      << log;
  EXPECT_NE(line[1].str().find(sound_->pipewire() ? "PipeWire" : "PulseAudio"), std::string::npos);
  EXPECT_LE(std::stod(line[2]), sound_->pipewire() ? 6.0 : 1000.0);
  const std::vector<float> heard = Heard();
  const int rate = sound_->rate();
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
TEST_F(DesktopSound, APedalledChordSustainsAfterItsKeysAreReleased) {
  desk_.env["LANGUAGE"] = "zh_CN";  // the menus' mnemonics are the Chinese texts'
  desk_.env["LC_ALL"] = "C.UTF-8";
  ASSERT_NO_FATAL_FAILURE(ChooseSquareLead());
  ASSERT_NO_FATAL_FAILURE(Play(
      {"keydown", "a", "keydown", "d",   "keydown", "g",     "sleep",   "0.5",   "keyup",   "a",
       "keyup",   "d", "keyup",   "g",   "sleep",   "1",     "keydown", "space", "keydown", "a",
       "keydown", "d", "keydown", "g",   "sleep",   "0.5",   "keyup",   "a",     "keyup",   "d",
       "keyup",   "g", "sleep",   "1.2", "keyup",   "space", "sleep",   "0.8"}));
  const int rate = sound_->rate();
  const auto chords = FindNotes(Heard(), rate / 100, 0.3, 20);
  ASSERT_EQ(chords.size(), 2u) << Log();
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
