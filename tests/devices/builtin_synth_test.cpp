#include "devices/builtin_synth.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
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
    auto path = FindSoundfont(SoundfontCandidates());
    ASSERT_TRUE(path.has_value()) << "no General MIDI soundfont installed";
    soundfont_ = *path;
    char pattern[] = "/tmp/tonvale-synth-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    unsetenv("TONVALE_AUDIO_DRIVER");
    unsetenv("TONVALE_AUDIO_FILE");
    fs::remove_all(dir_);
  }

  std::string soundfont_;
  fs::path dir_;
};

TEST_F(BuiltinSynthTest, OpenFailsCleanlyWhenNoAudioDriverStarts) {
  setenv("TONVALE_AUDIO_DRIVER", "alsa", 1);  // no sound card here
  BuiltinSynth synth(soundfont_);
  ASSERT_TRUE(synth.Preload());
  EXPECT_FALSE(synth.Open());
  EXPECT_FALSE(synth.is_open());
  EXPECT_EQ(synth.LatencyMs(), std::nullopt);
  EXPECT_EQ(synth.DriverName(), std::nullopt);
  synth.Send(PackShortMsg(kNoteOn, 0, 60, 127));  // nothing open: ignored
  EXPECT_FALSE(synth.Open());                     // and again, with no retry loop behind it
  // A driver FluidSynth does not know, and JACK with no server to talk to.
  EXPECT_FALSE(BuiltinSynth(soundfont_, AudioOptions{.driver = "nonsense"}).Open());
  EXPECT_FALSE(BuiltinSynth(soundfont_, AudioOptions{.driver = "jack"}).Open());

  // A broken soundfont never loads, and nothing is started for it.
  const fs::path bad = dir_ / "bad.sf2";
  std::ofstream(bad, std::ios::binary) << std::string("RIFF\x10\0\0\0sfbkLIST\0\0\0\0", 20);
  BuiltinSynth broken(bad.string(), AudioOptions{.driver = "file", .file_name = dir_ / "x.wav"});
  EXPECT_FALSE(broken.Preload());
  EXPECT_FALSE(broken.Preload());  // the first answer stands
  EXPECT_FALSE(broken.Open());
  EXPECT_FALSE(fs::exists(dir_ / "x.wav"));
}

TEST_F(BuiltinSynthTest, PreloadedOnAnotherThreadThePlayedNoteReachesTheFileDriver) {
  const fs::path wav = dir_ / "out.wav";
  setenv("TONVALE_AUDIO_DRIVER", "file", 1);
  setenv("TONVALE_AUDIO_FILE", wav.c_str(), 1);
  BuiltinSynth synth(soundfont_);
  bool loaded = false;
  std::thread loader([&] { loaded = synth.Preload(); });
  ASSERT_TRUE(synth.Open());  // may come while the loader is busy: it waits
  loader.join();
  EXPECT_TRUE(loaded);
  EXPECT_EQ(synth.DriverName(), "file");
  ASSERT_TRUE(synth.LatencyMs().has_value());
  EXPECT_NEAR(*synth.LatencyMs(), 1000.0 * 64 * 3 / 44100.0, 1e-9);

  synth.Send(PackShortMsg(kProgramChange, 0, 80, 0));
  synth.Send(PackShortMsg(kNoteOn, 0, 60, 127));
  // The file driver renders in real time; give it a few periods.
  for (int i = 0; i < 100 && (!fs::exists(wav) || fs::file_size(wav) < 44 + 4 * 4096); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  synth.Close();
  EXPECT_FALSE(synth.is_open());
  EXPECT_EQ(synth.LatencyMs(), std::nullopt);

  std::ifstream in(wav, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 44u + 4 * 4096);
  EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
  EXPECT_EQ(std::string(bytes.data() + 8, 4), "WAVE");
  int loud = 0;
  for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
    const auto sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                  (static_cast<unsigned char>(bytes[i + 1]) << 8));
    loud += sample > 1000 || sample < -1000 ? 1 : 0;
  }
  EXPECT_GT(loud, 100) << "the note did not reach the audio output";

  // Closed and opened again: the soundfont stays loaded, the driver restarts,
  // also when opened while open.
  ASSERT_TRUE(synth.Open());
  EXPECT_TRUE(synth.Open());
  EXPECT_TRUE(synth.is_open());
}

}  // namespace
}  // namespace tonvale
