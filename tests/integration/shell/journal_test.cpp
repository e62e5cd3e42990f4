// The journal of a take through the real program on its own Xvfb display:
// killed in the middle of a take, started again, the take offered back;
// a damaged journal; two windows at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <thread>
#include <variant>

#include "left_files.h"
#include "x_desktop.h"

namespace tonvale::test {
namespace {

namespace fs = std::filesystem;
constexpr std::uint32_t kScanA = 0x1E, kScanD = 0x20;

std::uint32_t ScanOf(const PerformanceEvent& e) {
  return (e.key_data >> 16) & 0xFF;
}

class Journal : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    fs::create_directory(state_);
  }

  // Starts the program, whose windows are those looked for from then on.
  Process Start(std::vector<std::string> args) {
    desk_.env["TONVALE_AUDIO_FILE"] = dir_.path() / ("synth" + std::to_string(starts_) + ".wav");
    desk_.log = Log(starts_++);
    args.insert(args.begin(), TONVALE_PROGRAM);
    Process program({.args = args, .env = desk_.env, .log = desk_.log});
    desk_.pid = program.pid();
    return program;
  }
  fs::path Log(int start) const {
    return dir_.path() / ("tonvale" + std::to_string(start) + ".log");
  }
  // The main window, shown after the offers (if any) are answered.
  std::string MainWindow() {
    const std::string window = desk_.Await("^Tonvale - ", 1);
    desk_.Xdo({"windowfocus", "--sync", window});
    return window;
  }
  // The question captioned "QV", answered with `key`.
  void Answer(const std::string& key) {
    const std::string box = desk_.Await("^QV$", 1);
    EXPECT_TRUE(desk_.Windows("^Tonvale - ").empty()) << "the window came first";
    desk_.Xdo({"windowfocus", "--sync", box});
    desk_.Xdo({"key", key});
    for (const auto end = std::chrono::steady_clock::now() + 20s;
         std::chrono::steady_clock::now() < end;) {
      const std::vector<std::string> boxes = desk_.Windows("^QV$");
      if (std::find(boxes.begin(), boxes.end(), box) == boxes.end()) return;
    }
    ADD_FAILURE() << "the question stays after " << key;
  }
  // Saves the recording through the save-as dialog; returns what was saved.
  RecordingFile Save(const std::string& window, const std::string& name) {
    desk_.AnswerFileDialog({"s"}, XDesktop::kSaveTitle, dir_.path() / name, window);
    const QviReadResult read = ReadQviFile(dir_.path() / name);
    EXPECT_TRUE(std::holds_alternative<RecordingFile>(read));
    return std::holds_alternative<RecordingFile>(read) ? std::get<RecordingFile>(read)
                                                       : RecordingFile{};
  }
  std::set<fs::path> Journals() {
    std::set<fs::path> found;
    for (const fs::directory_entry& e : fs::directory_iterator(state_))
      if (IsJournalName(e.path().filename().string())) found.insert(e.path());
    return found;
  }
  // Waits until the journals are `count`, each holding `events` or more.
  bool AwaitJournals(std::size_t count, std::size_t events = 0) {
    for (const auto end = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(50ms)) {
      const std::set<fs::path> now = Journals();
      if (now.size() == count && std::all_of(now.begin(), now.end(), [&](const fs::path& p) {
            return ReadJournalText(ReadText(p)).events.size() >= events;
          }))
        return true;
    }
    return false;
  }

  ScratchDir dir_{"tonvale-journal"};
  const fs::path state_ = dir_.path() / "tonvale";
  XServer x_{dir_.path()};
  XDesktop desk_{x_, dir_.path()};
  int starts_ = 0;
};

TEST_F(Journal, ATakeKilledMidWayIsOfferedBackBeforeTheFileNamedAtTheNextStart) {
  Process first = Start({});
  MainWindow();
  desk_.Menu('4', {"r"});
  // Six strokes of A more than a second before the kill, then two of D
  // within its last second, which may or may not be kept.
  desk_.Xdo({"key", "--delay", "120", "a", "a", "a", "a", "a", "a"});
  std::this_thread::sleep_for(1300ms);
  desk_.Xdo({"key", "d", "d"});
  first.Stop(SIGKILL);
  ASSERT_EQ(Journals().size(), 1u);

  const fs::path named = dir_.path() / "named.qvi";
  const PerformanceEvent f1{0, 256, 0x3B0001, 0};
  ASSERT_FALSE(WriteQviFile(named, {&f1, 1}, 1297, false, {2024, 3, 9}).has_value());
  Process second = Start({named.string()});
  Answer("Return");  // Yes, the default
  const std::string window = MainWindow();
  desk_.Await("^Tonvale - \\[未命名\\]$", 1);
  EXPECT_NE(ReadText(Log(1)).find(named.string() + " was not loaded"), std::string::npos)
      << ReadText(Log(1));

  const std::vector<PerformanceEvent> take = Save(window, "recovered.qvi").events;
  ASSERT_GE(take.size(), 12u);
  ASSERT_LE(take.size(), 16u);
  for (std::size_t i = 0; i < take.size(); ++i) {
    EXPECT_EQ(take[i].message, i % 2 == 0 ? 256 : 257) << i;
    EXPECT_EQ(ScanOf(take[i]), i < 12 ? kScanA : kScanD) << i;
  }
  // Nothing unsaved remains: neither journal is left.
  EXPECT_TRUE(AwaitJournals(0));
  EXPECT_EQ(second.Stop(SIGTERM, 20s), 0);
}

// Which journals are offered, in which order, is the core's; here one cut
// in the middle of its fourth event (d minor, automatic bass) is taken.
TEST_F(Journal, ADamagedJournalGivesItsWholeEventsItsKeyModeAndItsBass) {
  const PerformanceEvent a{100, 256, 0x1E0001, 0}, a_up{100, 257, 0xC01E0001, 0};
  WriteLeft(state_ / "take-0000000a.qvi",
            JournalBytes({a, a_up, a, a_up}, 1316, true).substr(0, 104 + 16 * 3 + 7), 3);
  Process program = Start({});
  Answer("Return");
  const std::string window = MainWindow();
  const RecordingFile taken = Save(window, "taken.qvi");
  EXPECT_EQ(taken.events, (std::vector<PerformanceEvent>{a, a_up, a}));
  EXPECT_EQ(taken.key_mode, 1316);
  EXPECT_EQ(taken.auto_bass, 1u);
  EXPECT_TRUE(AwaitJournals(0));
  program.Stop(SIGKILL);
}

TEST_F(Journal, TwoWindowsKeepTheirOwnAndNeverOfferALiveOne) {
  Process first = Start({});
  MainWindow();
  desk_.Menu('4', {"r"});
  desk_.Xdo({"key", "a"});
  ASSERT_TRUE(AwaitJournals(1, 2));
  const fs::path first_journal = *Journals().begin();

  // The first window's journal is not offered: the second opens at once.
  Process second = Start({});
  MainWindow();
  EXPECT_TRUE(desk_.Windows("^QV$").empty());
  desk_.Menu('4', {"r"});
  desk_.Xdo({"key", "d", "d"});
  ASSERT_TRUE(AwaitJournals(2, 2));

  // Only the window that is gone has its take offered.
  first.Stop(SIGKILL);
  Process third = Start({});
  Answer("Return");
  MainWindow();
  EXPECT_TRUE(desk_.Windows("^QV$").empty());
  ASSERT_TRUE(AwaitJournals(2, 2));
  EXPECT_FALSE(Journals().contains(first_journal));
  for (const fs::path& journal : Journals()) {
    const RecordingFile take = ReadJournalText(ReadText(journal));
    EXPECT_EQ(ScanOf(take.events[0]), take.events.size() == 2 ? kScanA : kScanD);
  }
  second.Stop(SIGKILL);
  third.Stop(SIGKILL);
}

}  // namespace
}  // namespace tonvale::test
