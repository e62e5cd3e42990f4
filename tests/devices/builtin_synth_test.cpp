#include "devices/builtin_synth.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "devices/soundfont_search.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

namespace fs = std::filesystem;

class BuiltinSynthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(soundfont_.has_value()) << "no General MIDI soundfont installed";
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  const std::optional<std::string> soundfont_ = FindSoundfont(SoundfontCandidates());
  const fs::path dir_ = fs::temp_directory_path() / ("tonvale-synth-" + std::to_string(getpid()));
};

// FluidSynth's file driver stands for a sound server: it plays in real time.
TEST_F(BuiltinSynthTest, PreloadedOnAnotherThreadANoteReachesTheOutputWithTheBufferingAsked) {
  const fs::path wav = dir_ / "out.wav";
  BuiltinSynth synth(*soundfont_, {.driver = "file", .file_name = wav, .buffering = {{441, 2}}});
  std::thread loader([&] { EXPECT_TRUE(synth.Preload()); });
  ASSERT_TRUE(synth.Open());  // may come while the loader is busy: it waits
  loader.join();
  EXPECT_EQ(synth.DriverName(), "file");
  EXPECT_EQ(synth.LatencyMs(), 20.0);
  synth.Send(PackShortMsg(kProgramChange, 0, 80, 0));
  synth.Send(PackShortMsg(kNoteOn, 0, 60, 127));
  for (int i = 0; i < 250 && (!fs::exists(wav) || fs::file_size(wav) < 44 + 4 * 8192); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  synth.Close();
  EXPECT_EQ(synth.LatencyMs(), std::nullopt);

  std::ifstream in(wav, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
  int loud = 0;
  for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
    loud +=
        std::abs(static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                           static_cast<unsigned char>(bytes[i + 1]) << 8)) > 1000;
  }
  EXPECT_GT(loud, 1000) << "the note did not reach the audio output";
  ASSERT_TRUE(synth.Open());  // the soundfont stays loaded, the driver restarts
}

TEST_F(BuiltinSynthTest, WhenNoOutputStartsItSaysOnceWhy) {
  setenv("PULSE_SERVER", "unix:/nonexistent/tonvale/native", 1);
  setenv("JACK_DEFAULT_SERVER", ("tonvale-none-" + std::to_string(getpid())).c_str(), 1);
  const struct {
    AudioOptions audio;
    const char* why;
  } kCases[] = {
      {{.driver = "pulseaudio"}, "pulseaudio: no sound server answered"},
      {{.driver = "jack"}, "jack: no JACK server is running"},
      {{.driver = "nonsense"}, "audio driver \"nonsense\" not available"},
      // FluidSynth's own complaint is the reason given, and not printed apart.
      {{.driver = "file", .file_name = dir_ / "missing" / "x.wav"}, "file: "},
  };
  for (const auto& c : kCases) {
    BuiltinSynth synth(*soundfont_, c.audio);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(synth.Open());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("tonvale: no audio output could start for the built-in synthesizer (", 0),
              0u)
        << said;
    EXPECT_NE(said.find(c.why), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_FALSE(synth.is_open());
  }
  unsetenv("PULSE_SERVER");
  unsetenv("JACK_DEFAULT_SERVER");

  // A broken soundfont never loads, and no output is started for it.
  std::ofstream(dir_ / "bad.sf2", std::ios::binary) << std::string("RIFF\x10\0\0\0sfbk", 12);
  BuiltinSynth broken((dir_ / "bad.sf2").string(), {.driver = "file", .file_name = dir_ / "x.wav"});
  testing::internal::CaptureStderr();
  EXPECT_FALSE(broken.Open());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("tonvale: cannot load the soundfont "),
            std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "x.wav"));
}

}  // namespace
}  // namespace tonvale
