// The built-in synthesizer on a desktop's own sound server, started
// privately: it plays at the server's rate, so that nothing resamples its
// stream on the way to the speakers.
#include <gtest/gtest.h>

#include <regex>

#include "child_process.h"
#include "devices/builtin_synth.h"
#include "devices/soundfont_search.h"
#include "servers.h"

namespace tonvale::test {
namespace {

TEST(ServerRate, TheSynthesizerStreamsAtTheRateTheSoundServerRuns) {
  ScratchDir dir("tonvale-rate");
  const SoundServer sound(dir.path());
  ASSERT_TRUE(sound.ok()) << sound.error();
  Environment env = CurrentEnvironment();
  sound.AddTo(env);
  for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
  unsetenv("PULSE_SERVER");
  // The server's own word for its rate.
  std::smatch match;
  const std::string info = RunToEnd({"pactl", "info"}, env).out;
  ASSERT_TRUE(
      std::regex_search(info, match, std::regex("Default Sample Specification: .* (\\d+)Hz")))
      << info;
  const int rate = std::stoi(match[1]);
  if (sound.pipewire()) {
    EXPECT_EQ(rate, 48000);  // its graph rate unless told otherwise
  }

  BuiltinSynth synth(FindSoundfont(SoundfontCandidates()).value_or(""), {.driver = "pulseaudio"});
  testing::internal::CaptureStderr();
  ASSERT_TRUE(synth.Open());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find(", " + std::to_string(rate) + " Hz, "), std::string::npos) << said;
  EXPECT_EQ(synth.SampleRate(), rate);
  // The stream as the server has it.
  std::string inputs;
  for (int i = 0; i < 50 && inputs.find("Sample Specification") == std::string::npos; ++i) {
    inputs = RunToEnd({"pactl", "list", "sink-inputs"}, env).out;
  }
  ASSERT_TRUE(std::regex_search(inputs, match, std::regex("Sample Specification: .* (\\d+)Hz")))
      << inputs;
  EXPECT_EQ(std::stoi(match[1]), rate) << inputs;
}

}  // namespace
}  // namespace tonvale::test
