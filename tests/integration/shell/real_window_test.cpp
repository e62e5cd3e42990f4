// The real tonvale under Xvfb, played with real X key events into a JACK port
// of our own, from the first note to the saved file named on the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <thread>
#include <variant>

#include "files/qvi_file.h"
#include "jack_midi_receiver.h"
#include "x_desktop.h"

namespace tonvale::test {
namespace {

namespace fs = std::filesystem;
using Messages = std::vector<std::string>;

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
    // Short periods (2.7 ms): the spacing of what arrives is that of what was sent.
    ASSERT_TRUE(jack_.Start(128, dir_.path())) << jack_.error();
    receiver_ = std::make_unique<JackMidiReceiver>();
    ASSERT_TRUE(receiver_->ok());
    desk_.log = dir_.path() / "tonvale.log";
  }

  void StartProgram(std::vector<std::string> args) {
    args.insert(args.begin(), TONVALE_PROGRAM);
    program_ = Process({.args = args, .env = desk_.env, .log = desk_.log});
    window_ = desk_.Await("^Tonvale - ", 1);
    desk_.Xdo({"windowfocus", "--sync", window_});
  }
  std::string Log() { return ReadText(desk_.log); }
  void AnswerFileDialog(const std::vector<std::string>& keys, const std::string& title,
                        const fs::path& path) {
    desk_.AnswerFileDialog(keys, title, path, window_);
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
  JackServer jack_;  // names its server in our environment, which desk_ copies
  XDesktop desk_{x_, dir_.path()};
  std::unique_ptr<JackMidiReceiver> receiver_;
  Process program_;
  std::string window_;     // the main window's X id
  std::size_t count_ = 0;  // the messages checked so far
};

TEST_F(RealWindow, PlaysRecordsSavesLoadsExportsEndsAndPlaysTheFileItWasGiven) {
  ASSERT_NO_FATAL_FAILURE(StartProgram({}));
  // The device menu's last item is the JACK port: the program on both channels.
  desk_.Menu('6', {"Up", "Return"});
  ASSERT_TRUE(Next({"c0 00", "cf 00"}));
  // Space held past the auto-repeat delay: the pedal, on the bass channel too.
  desk_.Menu('5', {"c"});
  desk_.Xdo({"keydown", "space", "key", "a", "sleep", "0.8", "keyup", "space"});
  ASSERT_TRUE(Next({"b0 40 7f", "bf 40 7f", "90 3c 7f", "9f 30 7f", "80 3c 00", "8f 30 00",
                    "b0 40 00", "bf 40 00"}));
  desk_.Menu('5', {"c"});

  // Recorded: A, D, then G held past the X server's auto-repeat delay.
  desk_.Menu('4', {"r"});
  desk_.Xdo({"keydown", "a", "sleep", "0.15", "keyup", "a", "sleep", "0.2",
             "keydown", "d", "sleep", "0.15", "keyup", "d", "sleep", "0.2",
             "keydown", "g", "sleep", "1",    "keyup", "g"});
  const std::size_t live = count_;
  ASSERT_TRUE(Next(kTune));
  desk_.Menu('4', {"e"});
  // Played once, then every channel silenced as the play stops itself.
  desk_.Menu('4', {"p"});
  const std::size_t once = count_;
  ASSERT_TRUE(Next(kTune) && Next(kAllNotesOff));
  // In a loop (the first of two items with L) until stopped: the tune over
  // and over, then every channel silenced.
  desk_.Menu('4', {"l", "Return"});
  const std::size_t loop = count_;
  receiver_->WaitFor(loop + 8);
  desk_.Menu('4', {"o"});
  const ReceivedList got = receiver_->WaitUntil([&](const ReceivedList& now) {
    return now.size() >= loop + 24 && BytesOf(now, now.size() - 16) == kAllNotesOff;
  });
  ASSERT_GE(got.size(), loop + 24);
  for (; count_ < got.size() - 16; ++count_) {
    ASSERT_EQ(got[count_].bytes, kTune[(count_ - loop) % 6]);
  }
  ASSERT_TRUE(Next(kAllNotesOff));

  // Saved through the save-as dialog; each play kept the recorded spacing.
  const fs::path saved = dir_.path() / "my tune.qvi";
  AnswerFileDialog({"s"}, XDesktop::kSaveTitle, saved);
  desk_.Await("^Tonvale - \\[my tune\\.qvi\\]$", 1);
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
  desk_.Xdo({"key", "alt+d"});
  AnswerFileDialog({"l", "l", "Return"}, XDesktop::kOpenTitle, saved);
  AnswerFileDialog({"a"}, XDesktop::kSaveTitle, dir_.path() / "again.qvi");
  desk_.Await("^Tonvale - \\[again\\.qvi\\]$", 1);
  EXPECT_EQ(ReadText(dir_.path() / "again.qvi"), ReadText(saved));
  // Exported: what the tool exports from the same file.
  AnswerFileDialog({"c"}, XDesktop::kSaveTitle, dir_.path() / "tune.mid");
  RunToEnd({TONVALE_TOOL, "export", saved.string(), (dir_.path() / "tool.mid").string()});
  EXPECT_EQ(ReadText(dir_.path() / "tune.mid").substr(0, 4), "MThd");
  EXPECT_EQ(ReadText(dir_.path() / "tune.mid"), ReadText(dir_.path() / "tool.mid"));

  // Asked to end with the help window open, it ends with 0 and silences
  // every channel on its way out.
  desk_.Xdo({"key", "alt+8", "h"});
  desk_.Await("^Tonvale 帮助", 1);
  EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Log();
  ASSERT_TRUE(Next(kAllNotesOff));

  // The saved file on the command line (a name with a blank arrives as two
  // words) plays by itself, into the built-in synthesizer.
  fs::remove(wav_);
  ASSERT_NO_FATAL_FAILURE(StartProgram({(dir_.path() / "my").string(), "tune.qvi"}));
  desk_.Await("^Tonvale - \\[/.*/my tune\\.qvi\\]$", 1);
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
  desk_.env["LANGUAGE"] = "en";
  ASSERT_NO_FATAL_FAILURE(StartProgram({}));
  desk_.Await("^Tonvale - \\[Untitled\\]$", 1);
  const fs::path shots = TONVALE_TEST_OUTPUT_DIR;
  fs::create_directories(shots);
  const auto shoot = [&](const std::string& name) {
    EXPECT_EQ(RunToEnd({"import", "-window", "root", (shots / name).string()}, desk_.env).code, 0);
  };
  shoot("window-en.png");
  // The instrument menu open at family D, the guitars.
  desk_.Menu('2', {"d"}, 3);
  shoot("menu-en.png");
  desk_.Xdo({"key", "Escape", "Escape"});
  desk_.Await("^tonvale$", 1, "--classname");
  desk_.Menu('8', {"a"}, 2);
  shoot("about-en.png");
  desk_.Xdo({"key", "Return"});
  desk_.Await("^tonvale$", 1, "--classname");
  desk_.Xdo({"key", "alt+8", "h"});
  desk_.Await("^Tonvale Help$", 1);
  EXPECT_EQ(program_.Stop(SIGTERM, 20s), 0) << Log();
}

}  // namespace
}  // namespace tonvale::test
