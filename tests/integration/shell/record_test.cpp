// The real tonvale under Xvfb, recorded with real X keys into a JACK port:
// play once and in a loop, save through the real file dialog, load it back,
// export, and open About and help, all by keyboard as a user would.
#include <signal.h>

#include <cmath>
#include <filesystem>
#include <sstream>
#include <thread>

#include "files/qvi_file.h"
#include "files/safe_write.h"
#include "real_program.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tonvale::test::Dumped;
using tonvale::test::ReadAll;
using tonvale::test::RealProgram;
using tonvale::test::Spawn;
using tonvale::test::WaitExit;

std::vector<std::string> BytesOf(const std::vector<Dumped>& events, std::size_t from,
                                 std::size_t count) {
  std::vector<std::string> out;
  for (std::size_t i = from; i < from + count && i < events.size(); ++i) {
    out.push_back(events[i].bytes);
  }
  return out;
}

// Qt's dialog titles, in Chinese where Qt's translation is installed.
const std::string kSaveTitle = "^(Save As|另存为)$";
const std::string kOpenTitle = "^(Open|打开)$";

double Ms(const Dumped& a, const Dumped& b) {
  return (static_cast<double>(b.frame) - static_cast<double>(a.frame)) / 48.0;
}

std::vector<std::string> AllNotesOff() {
  std::vector<std::string> out;
  for (int c = 0; c < 16; ++c) {
    std::ostringstream m;
    m << "b" << std::hex << c << " 7b 00";
    out.push_back(m.str());
  }
  return out;
}

bool WaitForFile(const fs::path& path) {
  for (int i = 0; i < 200; ++i) {
    if (fs::exists(path) && fs::file_size(path) > 0) return true;
    std::this_thread::sleep_for(25ms);
  }
  return false;
}

class RecordInTheWindow : public RealProgram {
 protected:
  // Runs a program to its end and returns what it printed.
  std::string Run(const std::vector<std::string>& args) {
    const pid_t pid = Spawn(args, dir_ / "run.log");
    EXPECT_EQ(WaitExit(pid), 0) << args.front() << "\n" << ReadAll(dir_ / "run.log");
    return ReadAll(dir_ / "run.log");
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
};

TEST_F(RecordInTheWindow, RecordPlayLoopSaveLoadExport) {
  ASSERT_TRUE(StartProgram()) << Logs();
  Xdo({"key", "alt+6"});
  std::this_thread::sleep_for(400ms);
  Xdo({"key", "Up", "Return"});  // the JACK port, the device menu's last item
  auto got = WaitForEvents(2);
  ASSERT_EQ(BytesOf(got, 0, 2), (std::vector<std::string>{"c0 00", "cf 00"})) << Logs();

  // Record a tune: A, D, then G held long while the window is looked at.
  Xdo({"key", "alt+4", "r"});
  std::this_thread::sleep_for(300ms);
  Xdo({"keydown", "a", "sleep", "0.15", "keyup", "a", "sleep", "0.2", "keydown", "d", "sleep",
       "0.15", "keyup", "d", "sleep", "0.2", "keydown", "g"});
  Screenshot("wiring-recording.png");
  Xdo({"sleep", "0.6", "keyup", "g"});
  got = WaitForEvents(8);
  const std::vector<std::string> tune = {"90 3c 7f", "80 3c 00", "90 40 7f",
                                         "80 40 00", "90 43 7f", "80 43 00"};
  ASSERT_EQ(BytesOf(got, 2, 6), tune) << Logs();
  const std::vector<Dumped> live(got.begin() + 2, got.begin() + 8);
  Xdo({"key", "alt+4", "e"});
  std::this_thread::sleep_for(300ms);

  // Play once: the same notes in the same order with the recorded spacing,
  // then every channel silenced as the play stops itself.
  Xdo({"key", "alt+4", "p"});
  got = WaitForEvents(8 + 6 + 16, 10s);
  ASSERT_EQ(got.size(), 30u) << Logs();
  EXPECT_EQ(BytesOf(got, 8, 6), tune);
  EXPECT_EQ(BytesOf(got, 14, 16), AllNotesOff());
  for (std::size_t i = 1; i < 6; ++i) {
    const double recorded = Ms(live[i - 1], live[i]);
    const double played = Ms(got[8 + i - 1], got[8 + i]);
    EXPECT_NEAR(played, recorded, 30.0) << "interval " << i;
  }

  // Loop: the tune comes round again; looked at while a key sounds.
  Xdo({"key", "alt+4", "l", "Return"});
  got = WaitForEvents(30 + 5, 10s, 0ms);
  Screenshot("wiring-playing.png");
  got = WaitForEvents(30 + 13, 10s);
  ASSERT_GE(got.size(), 43u) << Logs();
  for (std::size_t pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(BytesOf(got, 30 + 6 * pass, 6), tune) << "pass " << pass;
  }
  for (std::size_t i = 1; i < 6; ++i) {
    EXPECT_NEAR(Ms(got[36 + i - 1], got[36 + i]), Ms(live[i - 1], live[i]), 30.0);
  }
  Xdo({"key", "alt+4", "o"});
  std::this_thread::sleep_for(1s);
  got = WaitForEvents(0);
  ASSERT_GE(got.size(), 16u);
  const std::size_t stop_at = got.size() - 16;
  EXPECT_EQ(BytesOf(got, stop_at, 16), AllNotesOff()) << Logs();
  for (std::size_t i = 30; i < stop_at; ++i) {
    EXPECT_EQ(got[i].bytes, tune[(i - 30) % 6]) << "message " << i;
  }
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(WaitForEvents(0).size(), got.size()) << "sound after stop";

  // Save: untitled, so the save-as dialog; the path typed into it.
  const fs::path saved = dir_ / "tune.qvi";
  AnswerFileDialog({"alt+4", "s"}, kSaveTitle, saved, "wiring-save-dialog.png");
  ASSERT_TRUE(WaitForFile(saved)) << Logs();
  EXPECT_FALSE(FindWindow("^Tonvale - \\[tune\\.qvi\\]$").empty());
  std::string info = Run({TONVALE_TOOL, "info", saved.string()});
  std::istringstream lines(info);
  std::string word;
  std::size_t count = 0;
  lines >> word >> count;
  ASSERT_EQ(word, "events") << info;
  ASSERT_EQ(count, 6u) << info;
  std::int32_t key_mode = 0;
  std::uint32_t bass = 0;
  lines >> word >> key_mode >> word >> bass;
  EXPECT_EQ(key_mode, 1297);
  EXPECT_EQ(bass, 0u);
  const std::uint32_t scans[6] = {30, 30, 32, 32, 34, 34};
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
  const fs::path again = dir_ / "again.qvi";
  AnswerFileDialog({"alt+4", "a"}, kSaveTitle, again);
  ASSERT_TRUE(WaitForFile(again)) << Logs();
  EXPECT_EQ(ReadAll(again), ReadAll(saved));
  EXPECT_FALSE(FindWindow("^Tonvale - \\[again\\.qvi\\]$").empty());

  // Export, read back by another program's MIDI reader.
  const fs::path mid = dir_ / "tune.mid";
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

  // Nothing unsaved: asked to end, it ends at once, help window and all.
  kill(program_, SIGTERM);
  EXPECT_EQ(WaitExit(program_), 0) << Logs();
  program_ = -1;
}

TEST_F(RecordInTheWindow, CommandLineFilePlaysByItself) {
  // A name with a blank arrives as two arguments and is joined again.
  const fs::path tune = dir_ / "my tune.qvi";
  const std::uint32_t a = 1u | (30u << 16);
  const std::vector<tonvale::PerformanceEvent> events = {{10, 256, a, 0},
                                                         {600, 257, a | 0xC0000000u, 0}};
  ASSERT_FALSE(tonvale::WriteQviFile(tune, events, 1297, false, {2024, 5, 6}));
  ASSERT_TRUE(StartProgram({(dir_ / "my").string(), "tune.qvi"})) << Logs();
  std::string title = tune.string();
  for (std::size_t i = 0; i < title.size(); ++i) {
    if (title[i] == '.' || title[i] == '-') title.insert(i++, "\\");
  }
  EXPECT_FALSE(FindWindow("^Tonvale - \\[" + title + "\\]$").empty()) << Logs();
  // Started once the window was shown, the ready line.
  const std::string log = ReadAll(dir_ / "tonvale.log");
  EXPECT_NE(log.find("tonvale: ready"), std::string::npos) << log;

  // Played by itself into the built-in synthesizer, whose output is a file.
  std::this_thread::sleep_for(2500ms);
  kill(program_, SIGTERM);
  EXPECT_EQ(WaitExit(program_), 0) << Logs();
  program_ = -1;
  const std::string loudest = Run({"/usr/bin/python3", "-c",
                                   "import sys, wave, numpy\n"
                                   "w = wave.open(sys.argv[1])\n"
                                   "s = numpy.frombuffer(w.readframes(w.getnframes()), "
                                   "dtype=numpy.int16)\n"
                                   "print(int(numpy.abs(s.astype(numpy.int32)).max()))\n",
                                   (dir_ / "synth.wav").string()});
  EXPECT_GT(std::stoi(loudest), 1000) << loudest;
}

}  // namespace
