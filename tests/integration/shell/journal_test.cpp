// The journal of a take through the real program on its own Xvfb display:
// killed in the middle of a take, started again, the take offered back;
// damaged and empty journals; two windows at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>
#include <variant>

#include "files/journal_file.h"
#include "files/qvi_file.h"
#include "servers.h"

namespace tonvale::test {
namespace {

namespace fs = std::filesystem;
using Ids = std::vector<std::string>;

const std::string kSaveTitle = "^(Save As|另存为)$";
constexpr std::uint32_t kScanA = 0x1E, kScanD = 0x20;

std::uint32_t ScanOf(const PerformanceEvent& e) {
  return (e.key_data >> 16) & 0xFF;
}

std::string JournalBytes(const std::vector<PerformanceEvent>& events, std::int32_t key_mode = 1297,
                         bool auto_bass = false) {
  const std::vector<std::uint8_t> bytes = *BuildQviBytes(events, key_mode, auto_bass, {2024, 3, 9});
  return {bytes.begin(), bytes.end()};
}

class Journal : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    for (const char* name :
         {"XDG_CURRENT_DESKTOP", "QT_QPA_PLATFORMTHEME", "DBUS_SESSION_BUS_ADDRESS"})
      env_.erase(name);
    // The program's Chinese texts, in a locale where xdotool reads them.
    env_["LANGUAGE"] = "zh_CN";
    env_["LC_ALL"] = "C.UTF-8";
    env_["DISPLAY"] = x_.display();
    env_["QT_QPA_PLATFORM"] = "xcb";
    env_["TONVALE_SPLASH_MS"] = "300";
    env_["TONVALE_AUDIO_DRIVER"] = "file";  // the built-in synthesizer, into a file
    env_["XDG_STATE_HOME"] = dir_.path().string();
    fs::create_directory(state_);
  }

  Process Start(std::vector<std::string> args) {
    env_["TONVALE_AUDIO_FILE"] = (dir_.path() / ("synth" + std::to_string(starts_) + ".wav"));
    args.insert(args.begin(), TONVALE_PROGRAM);
    return Process({.args = args, .env = env_, .log = Log(starts_++)});
  }
  fs::path Log(int start) const {
    return dir_.path() / ("tonvale" + std::to_string(start) + ".log");
  }
  void Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    EXPECT_EQ(RunToEnd(args, env_, 25s, dir_.path() / "xdotool.log").code, 0) << args[1];
  }
  // The visible windows of `program` whose name (or class) matches `pattern`.
  Ids Windows(const Process& program, const std::string& pattern,
              const std::string& field = "--name") {
    std::istringstream found(RunToEnd({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                       std::to_string(program.pid()), field, pattern},
                                      env_)
                                 .out);
    return {std::istream_iterator<std::string>(found), {}};
  }
  std::string Await(const Process& program, const std::string& pattern, std::size_t count,
                    const std::string& field = "--name") {
    Ids ids;
    for (const auto end = std::chrono::steady_clock::now() + 20s;
         ids.size() != count && std::chrono::steady_clock::now() < end;) {
      ids = Windows(program, pattern, field);
    }
    EXPECT_EQ(ids.size(), count) << pattern << "\n" << Shown();
    return ids.empty() ? "" : ids.front();
  }
  // Every visible window and its name, when something is amiss.
  std::string Shown() {
    std::istringstream found(
        RunToEnd({"xdotool", "search", "--onlyvisible", "--name", "."}, env_).out);
    std::string text;
    for (std::string id; found >> id;)
      text += id + " " + RunToEnd({"xdotool", "getwindowname", id}, env_).out;
    return text + ReadText(Log(starts_ - 1));
  }
  // The main window, shown after the offers (if any) are answered.
  std::string MainWindow(const Process& program) {
    const std::string window = Await(program, "^Tonvale - ", 1);
    Xdo({"windowfocus", "--sync", window});
    return window;
  }
  // The question captioned "QV", answered with `key`.
  void Answer(const Process& program, const std::string& key) {
    const std::string box = Await(program, "^QV$", 1);
    EXPECT_TRUE(Windows(program, "^Tonvale - ").empty()) << "the window came first";
    Xdo({"windowfocus", "--sync", box});
    Xdo({"key", key});
    for (const auto end = std::chrono::steady_clock::now() + 20s;
         std::chrono::steady_clock::now() < end;) {
      const Ids boxes = Windows(program, "^QV$");
      if (std::find(boxes.begin(), boxes.end(), box) == boxes.end()) return;
    }
    ADD_FAILURE() << "the question stays after " << key << "\n" << Shown();
  }
  // Opens the recording menu and presses `keys` in it; `windows` of the
  // program show afterwards (2 with a dialog).
  void Menu(const Process& program, std::vector<std::string> keys, std::size_t windows = 1) {
    Xdo({"key", "alt+4"});
    Await(program, "^tonvale$", 2, "--classname");
    keys.insert(keys.begin(), "key");
    Xdo(keys);
    Await(program, "^tonvale$", windows, "--classname");
  }
  // Saves the recording through the save-as dialog; returns what was saved.
  RecordingFile Save(const Process& program, const std::string& window, const std::string& name) {
    Menu(program, {"s"}, 2);
    Xdo({"windowfocus", "--sync", Await(program, kSaveTitle, 1)});
    Xdo({"type", "--delay", "15", (dir_.path() / name).string()});
    Xdo({"key", "Return"});
    Await(program, kSaveTitle, 0);
    Xdo({"windowfocus", "--sync", window});
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
            const std::string bytes = ReadText(p);
            return ReadJournal({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})
                       .events.size() >= events;
          })) {
        return true;
      }
    }
    return false;
  }

  ScratchDir dir_{"tonvale-journal"};
  const fs::path state_ = dir_.path() / "tonvale";
  XServer x_{dir_.path()};
  Environment env_ = CurrentEnvironment();
  int starts_ = 0;
};

TEST_F(Journal, ATakeKilledMidWayIsOfferedBackBeforeTheFileNamedAtTheNextStart) {
  Process first = Start({});
  MainWindow(first);
  Menu(first, {"r"});
  // Six strokes of A more than a second before the kill, then two of D
  // within its last second, which may or may not be kept.
  Xdo({"key", "--delay", "120", "a", "a", "a", "a", "a", "a"});
  std::this_thread::sleep_for(1300ms);
  Xdo({"key", "d", "d"});
  first.Stop(SIGKILL);
  ASSERT_EQ(Journals().size(), 1u);

  const fs::path named = dir_.path() / "named.qvi";
  const PerformanceEvent f1{0, 256, 0x3B0001, 0};
  ASSERT_FALSE(WriteQviFile(named, {&f1, 1}, 1297, false, {2024, 3, 9}).has_value());
  Process second = Start({named.string()});
  Answer(second, "Return");  // Yes, the default
  const std::string window = MainWindow(second);
  Await(second, "^Tonvale - \\[未命名\\]$", 1);
  EXPECT_NE(ReadText(Log(1)).find(named.string() + " was not loaded"), std::string::npos)
      << ReadText(Log(1));

  const std::vector<PerformanceEvent> take = Save(second, window, "recovered.qvi").events;
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

TEST_F(Journal, DamagedJournalsGiveTheirWholeEventsAndAnEmptyOneGoesUnasked) {
  const PerformanceEvent a{100, 256, 0x1E0001, 0}, a_up{100, 257, 0xC01E0001, 0};
  const PerformanceEvent d{100, 256, 0x200001, 0};
  const auto write = [&](const char* name, const std::string& bytes, int minutes_ago) {
    std::ofstream(state_ / name, std::ios::binary) << bytes;
    fs::last_write_time(state_ / name,
                        fs::file_time_type::clock::now() - std::chrono::minutes(minutes_ago));
  };
  // Cut in the middle of its fourth event (d minor, automatic bass); ending
  // in what a power cut left; holding nothing.
  write("take-0000000a.qvi",
        JournalBytes({a, a_up, a, a_up}, 1316, true).substr(0, 104 + 16 * 3 + 7), 3);
  write("take-0000000b.qvi", JournalBytes({d, d}) + std::string(16, '\0'), 2);
  write("take-0000000c.qvi", JournalBytes({}), 1);

  Process program = Start({});
  Answer(program, "n");       // the newest with events, thrown away
  Answer(program, "Return");  // the other, taken
  const std::string window = MainWindow(program);
  // Taken with its key mode and automatic bass, which a save then stores.
  const RecordingFile taken = Save(program, window, "taken.qvi");
  EXPECT_EQ(taken.events, (std::vector<PerformanceEvent>{a, a_up, a}));
  EXPECT_EQ(taken.key_mode, 1316);
  EXPECT_EQ(taken.auto_bass, 1u);
  EXPECT_TRUE(AwaitJournals(0));
  program.Stop(SIGKILL);
}

TEST_F(Journal, TwoWindowsKeepTheirOwnAndNeverOfferALiveOne) {
  Process first = Start({});
  MainWindow(first);
  Menu(first, {"r"});
  Xdo({"key", "a"});
  ASSERT_TRUE(AwaitJournals(1, 2));
  const fs::path first_journal = *Journals().begin();

  // The first window's journal is not offered: the second opens at once.
  Process second = Start({});
  MainWindow(second);
  EXPECT_TRUE(Windows(second, "^QV$").empty());
  Menu(second, {"r"});
  Xdo({"key", "d", "d"});
  ASSERT_TRUE(AwaitJournals(2, 2));

  // Only the window that is gone has its take offered.
  first.Stop(SIGKILL);
  Process third = Start({});
  Answer(third, "Return");
  MainWindow(third);
  EXPECT_TRUE(Windows(third, "^QV$").empty());
  ASSERT_TRUE(AwaitJournals(2, 2));
  EXPECT_FALSE(Journals().contains(first_journal));
  for (const fs::path& journal : Journals()) {
    const std::string bytes = ReadText(journal);
    const RecordingFile take =
        ReadJournal({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    EXPECT_EQ(ScanOf(take.events[0]), take.events.size() == 2 ? kScanA : kScanD);
  }
  second.Stop(SIGKILL);
  third.Stop(SIGKILL);
}

}  // namespace
}  // namespace tonvale::test
