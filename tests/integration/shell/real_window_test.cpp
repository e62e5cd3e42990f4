// The real tonvale on its own Xvfb display, played by keyboard as a user
// would with real X key events into a JACK port that jack_midi_dump listens
// on: notes, a recording played once and in a loop, the file dialogs, the
// export read by another program, and the end.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "files/qvi_file.h"
#include "servers.h"

namespace tonvale::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Qt's dialog titles, in Chinese where Qt's translation is installed.
const std::string kSaveTitle = "^(Save As|另存为)$";
const std::string kOpenTitle = "^(Open|打开)$";

std::vector<std::string> Bytes(const std::vector<Dumped>& events, std::size_t from,
                               std::size_t count) {
  std::vector<std::string> out;
  for (std::size_t i = from; i < from + count && i < events.size(); ++i) {
    out.push_back(events[i].bytes);
  }
  return out;
}

double Ms(const Dumped& a, const Dumped& b) {
  return (static_cast<double>(b.frame) - static_cast<double>(a.frame)) / 48.0;
}

std::vector<std::string> AllNotesOff() {
  std::vector<std::string> out;
  for (const char c : std::string("0123456789abcdef"))
    out.push_back(std::string("b") + c + " 7b 00");
  return out;
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    env_ = CurrentEnvironment();
    env_["DISPLAY"] = x_.display();
    env_["XDG_RUNTIME_DIR"] = (dir_.path() / "runtime").string();
    fs::create_directory(dir_.path() / "runtime");
    fs::permissions(dir_.path() / "runtime", fs::perms::owner_all);
    // Long periods: without real-time scheduling, short ones overrun on a busy
    // machine and JACK drops the MIDI of an overrun cycle.
    ASSERT_TRUE(jack_.Start(256, dir_.path())) << jack_.error();
    ASSERT_TRUE(dump_.Start(dir_.path())) << dump_.Text();
  }

  // Starts the program (splash shortened, built-in synthesizer into a file)
  // and waits for its window; false when it did not show up.
  bool StartProgram(const std::vector<std::string>& arguments = {}) {
    Environment env = env_;
    env["QT_QPA_PLATFORM"] = "xcb";
    env["TONVALE_SPLASH_MS"] = "300";
    env["TONVALE_REPORT_READY"] = "1";
    env["TONVALE_AUDIO_DRIVER"] = "file";
    env["TONVALE_AUDIO_FILE"] = (dir_.path() / "synth.wav").string();
    std::vector<std::string> args = {TONVALE_PROGRAM};
    args.insert(args.end(), arguments.begin(), arguments.end());
    program_ = Process({.args = args, .env = env, .log = dir_.path() / "tonvale.log", .fds = {}});
    window_ = FindWindow("^Tonvale - ");
    if (window_.empty()) return false;
    Xdo({"windowfocus", "--sync", window_});
    std::this_thread::sleep_for(300ms);
    return true;
  }
  // Asked to end: it ends by itself with 0.
  void EndProgram() { EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Logs(); }

  // Runs a program to its end and returns what it printed.
  std::string Run(std::vector<std::string> args) {
    const RunResult r = RunToEnd(args, env_, 25s, dir_.path() / "run.log");
    EXPECT_EQ(r.code, 0) << args.front() << "\n" << ReadText(dir_.path() / "run.log");
    return r.out;
  }
  std::string Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return Run(args);
  }
  // The first visible window whose name matches `pattern`, "" when none
  // shows up within xdotool's wait.
  std::string FindWindow(const std::string& pattern) {
    const std::string found = Xdo({"search", "--sync", "--onlyvisible", "--name", pattern});
    return found.substr(0, found.find('\n'));
  }
  // The whole screen, into $TONVALE_SHOT_DIR/name when that is set.
  void Screenshot(const std::string& name) {
    const char* keep = std::getenv("TONVALE_SHOT_DIR");
    if (keep != nullptr && *keep != '\0')
      Run({"import", "-window", "root", (fs::path(keep) / name).string()});
  }
  std::string Logs() {
    return "--- dump\n" + dump_.Text() + "--- tonvale\n" + ReadText(dir_.path() / "tonvale.log");
  }

  // Answers the file dialog that `keys` open in the main window with `path`.
  void AnswerFileDialog(const std::vector<std::string>& keys, const std::string& title,
                        const fs::path& path, const std::string& shot = {}) {
    Xdo({"windowfocus", "--sync", window_});
    std::vector<std::string> press = {"key"};
    press.insert(press.end(), keys.begin(), keys.end());
    Xdo(press);
    const std::string dialog = FindWindow(title);
    ASSERT_FALSE(dialog.empty()) << Logs();
    Xdo({"windowfocus", "--sync", dialog});
    std::this_thread::sleep_for(300ms);
    if (!shot.empty()) Screenshot(shot);
    Xdo({"type", "--delay", "15", path.string()});
    std::this_thread::sleep_for(200ms);
    Xdo({"key", "Return"});
    std::this_thread::sleep_for(300ms);
    Xdo({"windowfocus", "--sync", window_});
  }
  bool WaitForFile(const fs::path& path) {
    for (int i = 0; i < 200 && FileSize(path) == 0; ++i) std::this_thread::sleep_for(25ms);
    return FileSize(path) > 0;
  }

  // Declared in the order they start, so that they stop the other way round.
  ScratchDir dir_{"tonvale-window"};
  XServer x_{dir_.path()};
  JackServer jack_;
  MidiDump dump_;
  Process program_;
  Environment env_;
  std::string window_;  // the main window's X id, once started
};

TEST_F(RealWindow, PlaysRecordsLoopsSavesLoadsExportsAndEnds) {
  ASSERT_TRUE(StartProgram()) << Logs();
  Screenshot("integration-start.png");
  // Alt+6 opens the device menu; its last item is the JACK port.
  Xdo({"key", "alt+6"});
  std::this_thread::sleep_for(400ms);
  Screenshot("integration-device-menu.png");
  Xdo({"key", "Up", "Return"});
  std::vector<std::string> want = {"c0 00", "cf 00"};
  ASSERT_EQ(dump_.WaitForMessages(2), want) << Logs();

  const struct {
    std::vector<std::string> keys;
    std::vector<std::string> sent;
  } kPlayed[] = {
      {{"key", "a"}, {"90 3c 7f", "80 3c 00"}},
      // Shift held at the press: an octave up.
      {{"keydown", "shift", "key", "a", "keyup", "shift"}, {"90 48 7f", "80 48 00"}},
      {{"keydown", "d", "keydown", "g", "sleep", "0.3", "keyup", "d", "keyup", "g"},
       {"90 40 7f", "90 43 7f", "80 40 00", "80 43 00"}},
      // Held past the X server's auto-repeat delay: still one note.
      {{"keydown", "j", "sleep", "1.5", "keyup", "j"}, {"90 47 7f", "80 47 00"}},
  };
  for (const auto& played : kPlayed) {
    Xdo(played.keys);
    want.insert(want.end(), played.sent.begin(), played.sent.end());
    ASSERT_EQ(dump_.WaitForMessages(want.size()), want) << played.keys.back();
  }

  // Record a tune: A, D, then G held long while the window is looked at.
  std::size_t n = want.size();
  Xdo({"key", "alt+4", "r"});
  std::this_thread::sleep_for(300ms);
  Xdo({"keydown", "a", "sleep", "0.15", "keyup", "a", "sleep", "0.2", "keydown", "d", "sleep",
       "0.15", "keyup", "d", "sleep", "0.2", "keydown", "g"});
  Screenshot("wiring-recording.png");
  Xdo({"sleep", "0.6", "keyup", "g"});
  auto got = dump_.WaitForEvents(n + 6);
  const std::vector<std::string> tune = {"90 3c 7f", "80 3c 00", "90 40 7f",
                                         "80 40 00", "90 43 7f", "80 43 00"};
  ASSERT_EQ(Bytes(got, n, 6), tune) << Logs();
  const std::vector<Dumped> live(got.begin() + n, got.begin() + n + 6);
  n += 6;
  Xdo({"key", "alt+4", "e"});
  std::this_thread::sleep_for(300ms);

  // Play once: the same notes in the same order with the recorded spacing,
  // then every channel silenced as the play stops itself.
  Xdo({"key", "alt+4", "p"});
  got = dump_.WaitForEvents(n + 6 + 16, 10s);
  ASSERT_EQ(got.size(), n + 22) << Logs();
  EXPECT_EQ(Bytes(got, n, 6), tune);
  EXPECT_EQ(Bytes(got, n + 6, 16), AllNotesOff());
  for (std::size_t i = 1; i < 6; ++i) {
    EXPECT_NEAR(Ms(got[n + i - 1], got[n + i]), Ms(live[i - 1], live[i]), 30.0) << i;
  }
  n += 22;

  // Loop: the tune comes round again; looked at while a key sounds.
  Xdo({"key", "alt+4", "l", "Return"});
  got = dump_.WaitForEvents(n + 5, 10s, 0ms);
  Screenshot("wiring-playing.png");
  got = dump_.WaitForEvents(n + 13, 10s);
  ASSERT_GE(got.size(), n + 13) << Logs();
  for (std::size_t i = 1; i < 6; ++i) {
    EXPECT_NEAR(Ms(got[n + 6 + i - 1], got[n + 6 + i]), Ms(live[i - 1], live[i]), 30.0) << i;
  }
  Xdo({"key", "alt+4", "o"});
  std::this_thread::sleep_for(1s);
  got = dump_.WaitForEvents(0);
  ASSERT_GE(got.size(), n + 16);
  const std::size_t stop_at = got.size() - 16;
  EXPECT_EQ(Bytes(got, stop_at, 16), AllNotesOff()) << Logs();
  for (std::size_t i = n; i < stop_at; ++i) {
    EXPECT_EQ(got[i].bytes, tune[(i - n) % 6]) << "message " << i;
  }
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(dump_.Events().size(), got.size()) << "sound after stop";

  // Save: untitled, so the save-as dialog; the path typed into it.
  const fs::path saved = dir_.path() / "tune.qvi";
  AnswerFileDialog({"alt+4", "s"}, kSaveTitle, saved, "wiring-save-dialog.png");
  ASSERT_TRUE(WaitForFile(saved)) << Logs();
  EXPECT_FALSE(FindWindow("^Tonvale - \\[tune\\.qvi\\]$").empty());
  const std::string info = Run({TONVALE_TOOL, "info", saved.string()});
  std::istringstream lines(info);
  std::string word;
  std::size_t count = 0;
  std::int32_t key_mode = 0;
  std::uint32_t bass = 0;
  lines >> word >> count >> word >> key_mode >> word >> bass;
  ASSERT_EQ(count, 6u) << info;
  EXPECT_EQ(key_mode, 1297);
  EXPECT_EQ(bass, 0u);
  const std::uint32_t scans[6] = {30, 30, 32, 32, 34, 34};  // A, D, G
  for (std::size_t i = 0; i < 6; ++i) {
    std::uint32_t delta = 0;
    std::int32_t message = 0;
    std::string key_data;
    std::int32_t shift = 0;
    lines >> delta >> message >> key_data >> shift;
    EXPECT_EQ(message, i % 2 == 0 ? 256 : 257) << info;
    EXPECT_EQ((std::stoul(key_data, nullptr, 16) >> 16) & 0xFF, scans[i]) << info;
    EXPECT_EQ(shift, 0);
    if (i > 0) {
      EXPECT_NEAR(delta, Ms(live[i - 1], live[i]), 30.0) << "delta " << i;
    }
  }

  // Loaded back through the open dialog (the second item with L), then
  // saved as another file: the same bytes.
  AnswerFileDialog({"alt+4", "l", "l", "Return"}, kOpenTitle, saved);
  const fs::path again = dir_.path() / "again.qvi";
  AnswerFileDialog({"alt+4", "a"}, kSaveTitle, again);
  ASSERT_TRUE(WaitForFile(again)) << Logs();
  EXPECT_EQ(ReadText(again), ReadText(saved));
  EXPECT_FALSE(FindWindow("^Tonvale - \\[again\\.qvi\\]$").empty());

  // Export, read back by another program's MIDI reader.
  const fs::path mid = dir_.path() / "tune.mid";
  AnswerFileDialog({"alt+4", "c"}, kSaveTitle, mid);
  ASSERT_TRUE(WaitForFile(mid)) << Logs();
  const std::string notes = Run({"/usr/bin/python3", "-c",
                                 "import mido, sys\n"
                                 "m = mido.MidiFile(sys.argv[1])\n"
                                 "print(m.type, m.ticks_per_beat)\n"
                                 "for t in m.tracks:\n"
                                 "  for x in t:\n"
                                 "    if x.type in ('note_on', 'note_off'):\n"
                                 "      on = x.type == 'note_on' and x.velocity > 0\n"
                                 "      print(('on' if on else 'off'), x.channel, x.note)\n",
                                 mid.string()});
  // The tune, then the melody track's closing pair on note 1.
  EXPECT_EQ(notes,
            "0 192\non 0 60\noff 0 60\non 0 64\noff 0 64\non 0 67\noff 0 67\noff 0 1\noff 0 1\n");

  // About, with its pictures; Enter closes it. Then the help window.
  Xdo({"key", "alt+8", "a"});
  std::this_thread::sleep_for(700ms);
  Screenshot("wiring-about.png");
  Xdo({"key", "Return"});
  std::this_thread::sleep_for(300ms);
  Xdo({"windowfocus", "--sync", window_});
  Xdo({"key", "alt+8", "h"});
  std::this_thread::sleep_for(1s);
  Screenshot("wiring-help.png");

  // Nothing unsaved: asked to end, it ends at once, help window and all,
  // and silences every channel on its way out.
  n = dump_.Events().size();
  EndProgram();
  got = dump_.WaitForEvents(n + 16);
  ASSERT_EQ(got.size(), n + 16) << dump_.Text();
  EXPECT_EQ(Bytes(got, n, 16), AllNotesOff());
}

TEST_F(RealWindow, CommandLineFilePlaysByItself) {
  // A name with a blank arrives as two arguments and is joined again.
  const fs::path tune = dir_.path() / "my tune.qvi";
  const std::uint32_t a = 1u | (30u << 16);
  const std::vector<PerformanceEvent> events = {{10, 256, a, 0}, {600, 257, a | 0xC0000000u, 0}};
  ASSERT_FALSE(WriteQviFile(tune, events, 1297, false, {2024, 5, 6}));
  ASSERT_TRUE(StartProgram({(dir_.path() / "my").string(), "tune.qvi"})) << Logs();
  std::string title = tune.string();
  for (std::size_t i = 0; i < title.size(); ++i) {
    if (title[i] == '.' || title[i] == '-') title.insert(i++, "\\");
  }
  EXPECT_FALSE(FindWindow("^Tonvale - \\[" + title + "\\]$").empty()) << Logs();
  // Started once the window was shown, the ready line.
  EXPECT_NE(ReadText(dir_.path() / "tonvale.log").find("tonvale: ready"), std::string::npos);

  // Played by itself into the built-in synthesizer, whose output is a file.
  std::this_thread::sleep_for(2500ms);
  EndProgram();
  const std::string loudest = Run({"/usr/bin/python3", "-c",
                                   "import sys, wave, numpy\n"
                                   "w = wave.open(sys.argv[1])\n"
                                   "s = numpy.frombuffer(w.readframes(w.getnframes()), "
                                   "dtype=numpy.int16)\n"
                                   "print(int(numpy.abs(s.astype(numpy.int32)).max()))\n",
                                   (dir_.path() / "synth.wav").string()});
  EXPECT_GT(std::stoi(loudest), 1000) << loudest;
}

}  // namespace
}  // namespace tonvale::test
