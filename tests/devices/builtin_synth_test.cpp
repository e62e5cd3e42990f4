#include "devices/builtin_synth.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "devices/soundfont_search.h"

namespace tonvale {
namespace {

const std::string kSoundfont = FindSoundfont(SoundfontCandidates()).value_or("none found");
const auto kDir = std::filesystem::temp_directory_path() / ("tonvale-" + std::to_string(getpid()));

// FluidSynth's file driver stands for a sound server: it plays in real time.
TEST(BuiltinSynth, PreloadedOnAnotherThreadItOpensWithTheBufferingAsked) {
  BuiltinSynth synth(kSoundfont, {.driver = "file",
                                  .file_name = (kDir / "out.wav").string(),
                                  .buffering = BufferingForMs(20, 44100)});
  std::filesystem::create_directories(kDir);
  std::thread loader([&] { EXPECT_TRUE(synth.Preload()); });
  ASSERT_TRUE(synth.Open());  // may come while the loader is busy: it waits
  loader.join();
  EXPECT_EQ(synth.LatencyMs(), 20.0);
  synth.Close();
  EXPECT_EQ(synth.LatencyMs(), std::nullopt);
  EXPECT_TRUE(synth.Open());  // the soundfont stays loaded, the driver restarts
  std::filesystem::remove_all(kDir);
}

TEST(BuiltinSynth, WhenNoOutputStartsItSaysOnceWhy) {
  setenv("PULSE_SERVER", "unix:/nonexistent/tonvale/native", 1);
  setenv("JACK_DEFAULT_SERVER", kDir.filename().c_str(), 1);
  std::filesystem::create_directories(kDir);
  std::ofstream(kDir / "bad.sf2", std::ios::binary) << std::string("RIFF\x10\0\0\0sfbk", 12);
  const struct {
    std::string soundfont;
    AudioOptions audio;
    const char* says;
  } kCases[] = {
      {kSoundfont, {.driver = "pulseaudio"}, "(pulseaudio: no sound server answered)\n"},
      {kSoundfont, {.driver = "jack"}, "(jack: no JACK server is running)\n"},
      // FluidSynth's own complaint is the reason given, not printed apart.
      {kSoundfont, {.driver = "file", .file_name = (kDir / "no/x.wav").string()}, "(file: "},
      {(kDir / "bad.sf2").string(), {.driver = "file"}, "tonvale: cannot load the soundfont "},
  };
  for (const auto& c : kCases) {
    BuiltinSynth synth(c.soundfont, c.audio);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(synth.Open());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
    if (c.soundfont == kSoundfont) {
      EXPECT_EQ(said.rfind("tonvale: no audio output could start for the built-in synthesizer", 0),
                0u);
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
  }
  unsetenv("PULSE_SERVER");
  unsetenv("JACK_DEFAULT_SERVER");
  std::filesystem::remove_all(kDir);
}

}  // namespace
}  // namespace tonvale
