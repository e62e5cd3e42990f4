// The real program, played with real X key presses, heard through a real
// sound server: Tonvale runs under its own Xvfb with its built-in
// synthesizer in the default set-up, PulseAudio's null sink takes the
// sound, and parec records the sink's monitor while xdotool plays.
//
// Played, on the square lead (program 80, chosen through the instrument
// menu by its mnemonics): A, Shift+A, Ctrl+A, and A held while Esc is
// pressed. Heard: the pitches of middle C, an octave up, an octave down and
// middle C, in that order; a timbre with weak even partials (the square lead,
// not the piano the program starts with); and after Esc the held note dying
// away the way the first A did when its key came up, quiet within 250 ms, and
// nothing more when the key comes up.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "servers.h"
#include "sound_analysis.h"

namespace tonvale::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRate = 44100;
constexpr int kBlockMs = 10;
constexpr double kMiddleC = 261.626;
// Each note is held this long; Esc comes this long after its key went down.
constexpr double kHoldSeconds = 0.5;
// "Quiet": 30 dB under the note's own steady level, where only the synthesizer's
// reverb is left.
constexpr double kQuietDb = -30;
constexpr double kQuietWithinMs = 250;

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.path().empty());
    ASSERT_TRUE(x_.ok()) << x_.error();
    ASSERT_TRUE(sound_.ok()) << sound_.error();
    env_ = CurrentEnvironment();
    sound_.AddTo(env_);
    env_["DISPLAY"] = x_.display();
    // The program's default output, whatever the caller's environment says.
    env_.erase("TONVALE_AUDIO_DRIVER");
    env_.erase("TONVALE_AUDIO_FILE");
    env_.erase("JACK_DEFAULT_SERVER");
  }

  // A failed run leaves its recording and logs in the build folder, for a look.
  void TearDown() override {
    if (!HasFailure() || dir_.path().empty()) return;
    const std::filesystem::path keep = TONVALE_FAILURE_DIR;
    std::error_code ignored;
    std::filesystem::remove_all(keep, ignored);
    std::filesystem::create_directory(keep, ignored);
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path(), ignored)) {
      if (entry.is_regular_file()) {
        std::filesystem::copy_file(entry.path(), keep / entry.path().filename(), ignored);
      }
    }
  }

  std::string Log(const char* name) { return ReadText(dir_.path() / name); }

  RunResult Xdo(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return RunToEnd(std::move(args), env_);
  }

  std::size_t VisibleWindows() {
    const RunResult r = Xdo({"search", "--onlyvisible", "--class", "."});
    std::istringstream lines(r.out);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line);) count += !line.empty();
    return count;
  }

  // Sends a key (combination) and waits until `windows` are visible: menus
  // are windows of their own, and a key sent before its menu is up would
  // go to the keyboard and play.
  void MenuKey(const std::string& key, std::size_t windows) {
    ASSERT_EQ(Xdo({"key", key}).code, 0);
    std::size_t seen = 0;
    for (int i = 0; i < 100 && (seen = VisibleWindows()) != windows; ++i) {
      std::this_thread::sleep_for(30ms);
    }
    ASSERT_EQ(seen, windows) << "after " << key;
  }

  ScratchDir dir_{"tonvale-e2e"};
  XServer x_{dir_.path()};
  SoundServer sound_{dir_.path()};
  Environment env_;
};

TEST_F(SoundTest, KeysSoundAtTheirPitchesAndEscSilencesAsAReleaseDoes) {
  const auto raw = dir_.path() / "heard.raw";
  Process recorder(SpawnOptions{
      .args = {"parec", "-d", "nullsink.monitor", "--latency-msec=20", "--format=s16le",
               "--channels=2", "--rate=" + std::to_string(kRate), raw.string()},
      .env = env_,
      .log = dir_.path() / "parec.log",
      .fds = {}});
  ASSERT_TRUE(recorder.running());
  // parec takes up to a second to start: play only once the file grows.
  std::uintmax_t size = 0;
  for (int i = 0; i < 300 && (size = FileSize(raw)) < 4 * 4410; ++i) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_GE(size, 4u * 4410) << Log("parec.log");

  Environment program_env = env_;
  program_env["QT_QPA_PLATFORM"] = "xcb";
  program_env["TONVALE_SPLASH_MS"] = "1";
  Process program(SpawnOptions{.args = {TONVALE_PROGRAM},
                               .env = program_env,
                               .log = dir_.path() / "tonvale.log",
                               .fds = {}});
  ASSERT_TRUE(program.running());

  std::string window;
  for (int i = 0; i < 300 && window.empty() && program.running(); ++i) {
    std::istringstream(Xdo({"search", "--onlyvisible", "--name", "^Tonvale - "}).out) >> window;
    if (window.empty()) std::this_thread::sleep_for(50ms);
  }
  ASSERT_FALSE(window.empty()) << "no main window; program log:\n" << Log("tonvale.log");
  ASSERT_EQ(Xdo({"windowfocus", "--sync", window}).code, 0);
  ASSERT_EQ(VisibleWindows(), 1u);

  // The instrument menu, family K, its first item: program 80.
  MenuKey("alt+2", 2);
  MenuKey("k", 3);
  MenuKey("1", 1);

  const std::string hold = std::to_string(kHoldSeconds);
  const RunResult played = Xdo({// A plain note, which is also the reference for a release.
                                "keydown", "a", "sleep", hold, "keyup", "a", "sleep", "0.6",
                                // The group raised by Shift, then lowered by Ctrl.
                                "keydown", "shift", "keydown", "a", "sleep", hold, "keyup", "a",
                                "keyup", "shift", "sleep", "0.6", "keydown", "ctrl", "keydown", "a",
                                "sleep", hold, "keyup", "a", "keyup", "ctrl", "sleep", "0.6",
                                // Esc while A is held; A comes up well after.
                                "keydown", "a", "sleep", hold, "key", "Escape", "sleep", "0.7",
                                "keyup", "a", "sleep", "0.6"});
  ASSERT_EQ(played.code, 0);
  ASSERT_TRUE(program.running()) << Log("tonvale.log");
  ASSERT_EQ(recorder.Stop(SIGINT), 0) << Log("parec.log");
  program.Stop();

  const std::vector<float> audio = ReadRawStereo(raw.string());
  const std::size_t block = kRate * kBlockMs / 1000;
  const auto envelope = RmsEnvelope(audio, block);
  const auto notes = FindNotes(envelope, 0.3, 0.03, 200 / kBlockMs);
  ASSERT_EQ(notes.size(), 4u) << "program log:\n" << Log("tonvale.log");

  const std::span<const float> all(audio);
  const auto steady = [&](const NoteSpan& note) {
    // From 50 ms after the start to 50 ms before the key came up.
    const std::size_t from = (note.start + 50 / kBlockMs) * block;
    const std::size_t to =
        (note.start + static_cast<std::size_t>(kHoldSeconds * 1000 - 50) / kBlockMs) * block;
    return all.subspan(from, to - from);
  };

  // Pitch, in order: A, Shift+A (an octave up), Ctrl+A (an octave down), A.
  const double expected[] = {kMiddleC, 2 * kMiddleC, kMiddleC / 2, kMiddleC};
  double heard[4] = {};
  std::size_t dropouts = 0;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    heard[i] = Fundamental(steady(notes[i]), kRate, 60, 2000);
    EXPECT_NEAR(heard[i], expected[i], expected[i] * 0.01) << "note " << i;
    dropouts += Stretches(steady(notes[i])).size() - 1;
  }
  // The square lead's even partials are weak; the piano's second is stronger
  // than its fundamental.
  EXPECT_LT(HarmonicRatio(steady(notes[0]), kRate, heard[0], 2), 0.25);
  // Gaps where the synthesizer's stream was late (the analysis leaves them
  // out); worth a look when many.
  std::printf("heard %.2f %.2f %.2f %.2f Hz; dropouts in the held notes: %zu\n", heard[0], heard[1],
              heard[2], heard[3], dropouts);
  RecordProperty("dropouts_in_held_notes", static_cast<int>(dropouts));

  // Release and Esc: the level, block by block, from the moment the key came
  // up (or Esc went down), against the note's steady level.
  const auto after = [&](const NoteSpan& note) {
    const std::size_t event = note.start + static_cast<std::size_t>(kHoldSeconds * 1000) / kBlockMs;
    return DecayDb(envelope, note.start + 10, event - 5, event);
  };
  const auto first_below = [](const std::vector<double>& db, double limit) {
    return static_cast<double>(BlocksAbove(db, limit) * kBlockMs);
  };
  const std::vector<double> released = after(notes[0]);
  const std::vector<double> escaped = after(notes[3]);
  std::printf("quiet %.0f ms after the release, %.0f ms after Esc\n",
              first_below(released, kQuietDb), first_below(escaped, kQuietDb));
  EXPECT_LE(first_below(released, kQuietDb), kQuietWithinMs);
  EXPECT_LE(first_below(escaped, kQuietDb), kQuietWithinMs);
  // Esc lets the note die away as a release does; it does not cut it dead.
  EXPECT_NEAR(first_below(escaped, -20), first_below(released, -20), 40);
  // And it stays quiet, also when the key comes up.
  const auto quiet_from = static_cast<std::ptrdiff_t>(kQuietWithinMs / kBlockMs);
  ASSERT_GT(escaped.size(), static_cast<std::size_t>(quiet_from + 70));
  EXPECT_LT(*std::max_element(escaped.begin() + quiet_from, escaped.end()), kQuietDb);
}

}  // namespace
}  // namespace tonvale::test
