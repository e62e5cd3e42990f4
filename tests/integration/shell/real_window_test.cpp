// The real tonvale on its own Xvfb display, played with real X key events into
// a JACK port of our own: notes, the pedal, a recording played once and in a
// loop, the file dialogs, the end, then the saved file named on the command
// line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>
#include <variant>

#include "files/qvi_file.h"
#include "jack_midi_receiver.h"
#include "servers.h"

namespace tonvale::test {
namespace {

namespace fs = std::filesystem;
using Messages = std::vector<std::string>;

// Qt's dialog titles, in Chinese where Qt's translation is installed.
const std::string kSaveTitle = "^(Save As|另存为)$";
const std::string kOpenTitle = "^(Open|打开)$";
const Messages kTune = {"90 3c 7f", "80 3c 00", "90 40 7f", "80 40 00", "90 43 7f", "80 43 00"};
const Messages kAllNotesOff = {
    "b0 7b 00", "b1 7b 00", "b2 7b 00", "b3 7b 00", "b4 7b 00", "b5 7b 00", "b6 7b 00", "b7 7b 00",
    "b8 7b 00", "b9 7b 00", "ba 7b 00", "bb 7b 00", "bc 7b 00", "bd 7b 00", "be 7b 00", "bf 7b 00"};

// The loudest sample of a 16-bit WAV file, as far as it has been written.
int WavPeak(const fs::path& path) {
  const std::string bytes = ReadText(path);
  int peak = 0;
  for (std::size_t i = bytes.find("data"); i != std::string::npos && i + 9 < bytes.size(); i += 2) {
    peak = std::max(peak, std::abs(std::int16_t((bytes[i + 8] & 0xFF) | bytes[i + 9] << 8)));
  }
  return peak;
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    // Qt's own dialogs, never a desktop's (through its theme or D-Bus portal).
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "QT_QPA_PLATFORMTHEME", "DBUS_SESSION_BUS_ADDRESS"})
      env_.erase(name);
    // The Chinese window (its menus' letters, its help's title), whatever the
    // desktop's language; xdotool reads Chinese window titles only in a
    // UTF-8 locale.
    env_["LANGUAGE"] = "zh_CN";
    env_["LC_ALL"] = "C.UTF-8";
    env_["DISPLAY"] = x_.display();
    env_["QT_QPA_PLATFORM"] = "xcb";
    env_["TONVALE_SPLASH_MS"] = "300";
    env_["TONVALE_AUDIO_DRIVER"] = "file";  // the built-in synthesizer
    env_["TONVALE_AUDIO_FILE"] = wav_.string();
    // A state folder of its own: a take another run left is never offered here.
    env_["XDG_STATE_HOME"] = dir_.path().string();
    // Short periods (2.7 ms): the spacing of what arrives is that of what was sent.
    ASSERT_TRUE(jack_.Start(128, dir_.path())) << jack_.error();
    receiver_ = std::make_unique<JackMidiReceiver>();
    ASSERT_TRUE(receiver_->ok());
  }

  void StartProgram(std::vector<std::string> args) {
    args.insert(args.begin(), TONVALE_PROGRAM);
    program_ = Process({.args = args, .env = env_, .log = dir_.path() / "tonvale.log"});
    window_ = AwaitWindows("^Tonvale - ", 1);
    Xdo({"windowfocus", "--sync", window_});
  }
  std::string Log() { return ReadText(dir_.path() / "tonvale.log"); }
  void Xdo(const std::vector<std::string>& args) {
    const RunResult run = Xdotool(args, env_, dir_.path() / "xdotool.log");
    EXPECT_EQ(run.code, 0) << args[0] << " " << run.out;
  }
  // Waits until `count` visible windows have a name (or with "--classname",
  // a class) matching `pattern`; returns the first.
  std::string AwaitWindows(const std::string& pattern, std::size_t count,
                           const std::string& field = "--name") {
    std::vector<std::string> ids;
    for (const auto end = std::chrono::steady_clock::now() + 20s;
         ids.size() != count && std::chrono::steady_clock::now() < end;) {
      std::istringstream found(
          RunToEnd({"xdotool", "search", "--onlyvisible", field, pattern}, env_).out);
      ids.assign(std::istream_iterator<std::string>(found), {});
    }
    EXPECT_EQ(ids.size(), count) << pattern << "\n" << Log();
    return ids.empty() ? "" : ids.front();
  }
  // Opens menu `digit`, presses `keys` in it once it shows (a second window
  // of the program), and waits until the program shows `windows` windows
  // again: 1 when the menu has closed, 2 with a dialog.
  void Menu(char digit, std::vector<std::string> keys, std::size_t windows = 1) {
    Xdo({"key", std::string("alt+") + digit});
    AwaitWindows("^tonvale$", 2, "--classname");
    keys.insert(keys.begin(), "key");
    Xdo(keys);
    AwaitWindows("^tonvale$", windows, "--classname");
  }
  // Answers the file dialog that recording-menu item `keys` opens with `path`.
  void AnswerFileDialog(const std::vector<std::string>& keys, const std::string& title,
                        const fs::path& path) {
    Menu('4', keys, 2);
    Xdo({"windowfocus", "--sync", AwaitWindows(title, 1)});
    Xdo({"type", "--delay", "15", path.string()});
    Xdo({"key", "Return"});
    AwaitWindows(title, 0);
    Xdo({"windowfocus", "--sync", window_});
  }
  // Waits for the next messages: they must be `next`.
  bool Next(const Messages& next) {
    const Messages got = BytesOf(receiver_->WaitFor(count_ + next.size()), count_, next.size());
    EXPECT_EQ(got, next) << "from message " << count_ << "\n" << Log();
    count_ += next.size();
    return got == next;
  }

  // Declared in the order they start, so that they stop the other way round.
  ScratchDir dir_{"tonvale-window"};
  const fs::path wav_ = dir_.path() / "synth.wav";
  XServer x_{dir_.path()};
  JackServer jack_;
  std::unique_ptr<JackMidiReceiver> receiver_;
  Process program_;
  Environment env_ = CurrentEnvironment();
  std::string window_;     // the main window's X id
  std::size_t count_ = 0;  // the messages checked so far
};

TEST_F(RealWindow, PlaysRecordsSavesLoadsExportsEndsAndPlaysTheFileItWasGiven) {
  ASSERT_NO_FATAL_FAILURE(StartProgram({}));
  // The device menu's last item is the JACK port: the program on both channels.
  Menu('6', {"Up", "Return"});
  ASSERT_TRUE(Next({"c0 00", "cf 00"}));
  // Shift (Ctrl) held at the press: an octave up (down).
  Xdo({"key", "a", "keydown", "shift", "key", "a", "keyup", "shift", "keydown", "ctrl", "key", "a",
       "keyup", "ctrl"});
  ASSERT_TRUE(Next({"90 3c 7f", "80 3c 00", "90 48 7f", "80 48 00", "90 30 7f", "80 30 00"}));
  // Space held past the auto-repeat delay is the sustain pedal, on the bass
  // channel too while the automatic bass is on.
  const std::vector<std::string> pedalled = {"keydown", "space", "key",   "a",
                                             "sleep",   "0.8",   "keyup", "space"};
  Xdo(pedalled);
  ASSERT_TRUE(Next({"b0 40 7f", "90 3c 7f", "80 3c 00", "b0 40 00"}));
  Menu('5', {"c"});
  Xdo(pedalled);
  ASSERT_TRUE(Next({"b0 40 7f", "bf 40 7f", "90 3c 7f", "9f 30 7f", "80 3c 00", "8f 30 00",
                    "b0 40 00", "bf 40 00"}));
  Menu('5', {"c"});

  // Recorded: A, D, then G held past the X server's auto-repeat delay.
  Menu('4', {"r"});
  Xdo({"keydown", "a", "sleep", "0.15", "keyup", "a", "sleep", "0.2",
       "keydown", "d", "sleep", "0.15", "keyup", "d", "sleep", "0.2",
       "keydown", "g", "sleep", "1",    "keyup", "g"});
  const std::size_t live = count_;
  ASSERT_TRUE(Next(kTune));
  Menu('4', {"e"});
  // Played once, then every channel silenced as the play stops itself.
  Menu('4', {"p"});
  const std::size_t once = count_;
  ASSERT_TRUE(Next(kTune) && Next(kAllNotesOff));
  // In a loop (the first of two items with L) until stopped: the tune over
  // and over, then every channel silenced.
  Menu('4', {"l", "Return"});
  const std::size_t loop = count_;
  receiver_->WaitFor(loop + 8);
  Menu('4', {"o"});
  const ReceivedList got = receiver_->WaitUntil([&](const ReceivedList& now) {
    return now.size() >= loop + 24 && BytesOf(now, now.size() - 16) == kAllNotesOff;
  });
  ASSERT_GE(got.size(), loop + 24);
  for (; count_ < got.size() - 16; ++count_) {
    ASSERT_EQ(got[count_].bytes, kTune[(count_ - loop) % 6]);
  }
  ASSERT_TRUE(Next(kAllNotesOff));

  // Saved through the save-as dialog (still untitled). Each play kept the
  // recorded spacing; the notes each sent show that the keys, presses and
  // releases were recorded.
  const fs::path saved = dir_.path() / "my tune.qvi";
  AnswerFileDialog({"s"}, kSaveTitle, saved);
  AwaitWindows("^Tonvale - \\[my tune\\.qvi\\]$", 1);
  const QviReadResult read = ReadQviFile(saved);
  ASSERT_TRUE(std::holds_alternative<RecordingFile>(read));
  const std::vector<PerformanceEvent>& events = std::get<RecordingFile>(read).events;
  ASSERT_EQ(events.size(), 6u);
  std::vector<double> off;  // how far each gap was from the recorded one, in ms
  for (const std::size_t from : {live, once, loop, loop + 6}) {
    for (std::size_t i = 1; i < 6 && from + i < got.size() - 16; ++i) {
      off.push_back(std::abs(got[from + i].ms - got[from + i - 1].ms - events[i].delta_ms));
    }
  }
  // A busy machine may hold up a message now and then: the median is the rule.
  std::sort(off.begin(), off.end());
  EXPECT_LT(off[off.size() / 2], 5.0) << ::testing::PrintToString(off);
  EXPECT_LT(off.back(), 30.0) << ::testing::PrintToString(off);

  // Loaded back through the open dialog (the second item with L) over a
  // changed key mode, then saved as another file: the same bytes.
  Xdo({"key", "alt+d"});
  AnswerFileDialog({"l", "l", "Return"}, kOpenTitle, saved);
  AnswerFileDialog({"a"}, kSaveTitle, dir_.path() / "again.qvi");
  AwaitWindows("^Tonvale - \\[again\\.qvi\\]$", 1);
  EXPECT_EQ(ReadText(dir_.path() / "again.qvi"), ReadText(saved));
  // Exported: what the tool exports from the same file.
  AnswerFileDialog({"c"}, kSaveTitle, dir_.path() / "tune.mid");
  RunToEnd({TONVALE_TOOL, "export", saved.string(), (dir_.path() / "tool.mid").string()});
  EXPECT_EQ(ReadText(dir_.path() / "tune.mid").substr(0, 4), "MThd");
  EXPECT_EQ(ReadText(dir_.path() / "tune.mid"), ReadText(dir_.path() / "tool.mid"));

  // Asked to end with the help window open, it ends with 0 and silences
  // every channel on its way out.
  Xdo({"key", "alt+8", "h"});
  AwaitWindows("^Tonvale 帮助", 1);
  EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Log();
  ASSERT_TRUE(Next(kAllNotesOff));

  // The saved file on the command line (a name with a blank arrives as two
  // words) plays by itself, into the built-in synthesizer.
  fs::remove(wav_);
  ASSERT_NO_FATAL_FAILURE(StartProgram({(dir_.path() / "my").string(), "tune.qvi"}));
  AwaitWindows("^Tonvale - \\[/.*/my tune\\.qvi\\]$", 1);
  for (const auto end = std::chrono::steady_clock::now() + 20s;
       WavPeak(wav_) < 1000 && std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(50ms)) {
  }
  EXPECT_GE(WavPeak(wav_), 1000);
  EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Log();
  EXPECT_EQ(receiver_->Events().size(), count_) << "nothing more after each end";
}

// Under an English desktop the window, its menus, the About box and the help
// speak English; the pictures are kept for the README (docs/).
TEST_F(RealWindow, SpeaksEnglishOnAnEnglishDesktop) {
  env_["LANGUAGE"] = "en";
  ASSERT_NO_FATAL_FAILURE(StartProgram({}));
  AwaitWindows("^Tonvale - \\[Untitled\\]$", 1);
  const fs::path shots = TONVALE_TEST_OUTPUT_DIR;
  fs::create_directories(shots);
  const auto shoot = [&](const std::string& name) {
    EXPECT_EQ(RunToEnd({"import", "-window", "root", (shots / name).string()}, env_).code, 0);
  };
  shoot("window-en.png");
  // The instrument menu open at family D, the guitars.
  Xdo({"key", "alt+2"});
  AwaitWindows("^tonvale$", 2, "--classname");
  Xdo({"key", "d"});
  AwaitWindows("^tonvale$", 3, "--classname");
  shoot("menu-en.png");
  Xdo({"key", "Escape", "Escape"});
  AwaitWindows("^tonvale$", 1, "--classname");
  Menu('8', {"a"}, 2);
  shoot("about-en.png");
  Xdo({"key", "Return"});
  AwaitWindows("^tonvale$", 1, "--classname");
  Xdo({"key", "alt+8", "h"});
  AwaitWindows("^Tonvale Help$", 1);
  EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Log();
}

}  // namespace
}  // namespace tonvale::test
