#include "devices/builtin_synth.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "devices/soundfont_search.h"

namespace tonvale {
namespace {

using namespace std::chrono_literals;

const std::string kSoundfont = FindSoundfont(SoundfontCandidates()).value_or("none found");
const auto kDir = std::filesystem::temp_directory_path() / ("tonvale-" + std::to_string(getpid()));

// What `f` writes to standard error.
template <class F>
std::string Said(F f) {
  testing::internal::CaptureStderr();
  f();
  return testing::internal::GetCapturedStderr();
}

class BuiltinSynthTest : public ::testing::Test {
 protected:
  BuiltinSynthTest() { std::filesystem::create_directories(kDir); }
  ~BuiltinSynthTest() override { std::filesystem::remove_all(kDir); }
  // FluidSynth's file driver stands for a sound server: it plays in real time.
  static AudioOptions ToFile(std::optional<double> latency_ms = {}) {
    return {.driver = "file", .file_name = (kDir / "out.wav").string(), .latency_ms = latency_ms};
  }
};

// The first instruments are read on the loading thread, not at load: every
// channel must still sound at once without a program change, the automatic
// bass's channel 16 and the drums' channel 10 as much as the first.
TEST_F(BuiltinSynthTest, EveryChannelSoundsRightAfterOpeningWithoutAProgramChange) {
  for (const std::uint32_t channel : {0u, 9u, 15u}) {
    {
      BuiltinSynth synth(kSoundfont, ToFile(20));
      ASSERT_TRUE(synth.Open());
      synth.Send(0x7F3C90 | channel);  // note 60 (on channel 10: a drum)
      std::this_thread::sleep_for(300ms);
    }
    // 16-bit samples after the "data" chunk's header; silence is dither.
    std::ifstream wav(kDir / "out.wav", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(wav), {}};
    int loudest = 0;
    for (auto at = bytes.find("data") + 8; at + 1 < bytes.size(); at += 2) {
      loudest = std::max(loudest, std::abs(std::int16_t(std::uint8_t(bytes[at]) |
                                                        std::uint8_t(bytes[at + 1]) << 8)));
    }
    EXPECT_GT(loudest, 1000) << "channel " << channel;
  }
}

// FluidSynth takes periods of 64 to 8192 frames and keeps its old value for
// any other: what is in force is said, never what was asked. Opening may
// come while the soundfont loads on another thread: it waits.
TEST_F(BuiltinSynthTest, ABufferingFluidSynthCannotTakeIsBroughtIntoItsRangeAndSaid) {
  const struct {
    double ms;
    double in_force;  // three periods at 44.1 kHz
    const char* says;
  } kCases[] = {
      {1000, 3 * 8192 / 44.1,
       "tonvale: 1000.0 ms of buffering would need periods of 14700 frames at 44100 Hz, but "
       "FluidSynth takes 64 to 8192: 8192 are used\n"},
      {1, 3 * 64 / 44.1,
       "tonvale: 1.0 ms of buffering would need periods of 15 frames at 44100 Hz, but FluidSynth "
       "takes 64 to 8192: 64 are used\n"},
      {200, 200, ""},
  };
  for (const auto& c : kCases) {
    BuiltinSynth synth(kSoundfont, ToFile(c.ms));
    std::thread loader([&] { EXPECT_TRUE(synth.Preload()); });
    const std::string said = Said([&] { ASSERT_TRUE(synth.Open()); });
    loader.join();
    EXPECT_NEAR(*synth.LatencyMs(), c.in_force, 0.01) << c.ms;
    char line[100];
    std::snprintf(line, sizeof line, "tonvale: built-in synthesizer on file, 44100 Hz, %.1f ms",
                  c.in_force);
    EXPECT_EQ(said.rfind(c.says + std::string(line), 0), 0u) << said;
    EXPECT_EQ(synth.SampleRate(), 44100.0);  // a file keeps the synthesizer's own rate
    // The soundfont stays loaded, the driver restarts.
    synth.Close();
    EXPECT_EQ(synth.LatencyMs(), std::nullopt);
    EXPECT_TRUE(synth.Open());
  }
}

TEST_F(BuiltinSynthTest, ASoundfontThatCannotBeLoadedIsSaidOnceAndTheNextPlays) {
  std::filesystem::create_directories(kDir / "folder.sf2");
  std::ofstream(kDir / "text.sf2") << "not a soundfont";
  // The right header, and nothing a soundfont needs behind it.
  std::ofstream(kDir / "broken.sf2", std::ios::binary) << std::string("RIFF\x10\0\0\0sfbk", 12);
  const struct {
    std::string path;
    std::string why;
  } kCases[] = {
      {(kDir / "missing.sf2").string(), "(No such file or directory)"},
      {(kDir / "folder.sf2").string(), "(a folder, not a file)"},
      {(kDir / "text.sf2").string(), "(not a SoundFont file)"},
      {(kDir / "broken.sf2").string(), "("},  // FluidSynth's own words
  };
  for (const auto& c : kCases) {
    BuiltinSynth synth(c.path, ToFile(), {(kDir / "missing.sf2").string(), kSoundfont});
    const std::string said = Said([&] { EXPECT_TRUE(synth.Preload()); });
    EXPECT_EQ(said.rfind("tonvale: cannot load the soundfont " + c.path + " " + c.why, 0), 0u)
        << said;
    EXPECT_TRUE(said.ends_with("; playing " + kSoundfont + " instead\n")) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(synth.LoadedSoundfont(), kSoundfont);
  }
  // The one asked for loads: not a word.
  BuiltinSynth synth(kSoundfont, ToFile(), {(kDir / "text.sf2").string()});
  EXPECT_EQ(Said([&] { EXPECT_TRUE(synth.Preload()); }), "");
}

TEST_F(BuiltinSynthTest, WhenNoOutputStartsItSaysOnceWhy) {
  setenv("PULSE_SERVER", "unix:/nonexistent/tonvale/native", 1);
  setenv("JACK_DEFAULT_SERVER", kDir.filename().c_str(), 1);
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
    const std::string said = Said([&] { EXPECT_FALSE(synth.Open()); });
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
    if (c.soundfont == kSoundfont) {
      EXPECT_EQ(said.rfind("tonvale: no audio output could start for the built-in synthesizer", 0),
                0u);
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
  }
  unsetenv("PULSE_SERVER");
  unsetenv("JACK_DEFAULT_SERVER");
}

// A server that takes the connection and never says a word: asking it its
// name and rate takes the whole two seconds libpulse is given.
TEST_F(BuiltinSynthTest, ASilentSoundServerHoldsUpNoOpenOfTheDevice) {
  const std::string socket_path = (kDir / "native").string();
  const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket_path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(server, 16), 0);
  setenv("PULSE_SERVER", ("unix:" + socket_path).c_str(), 1);
  {
    BuiltinSynth synth(kSoundfont, {.driver = "pulseaudio"});
    ASSERT_TRUE(synth.Preload());  // during the splash, off the window's thread
    for (int open = 0; open < 3; ++open) {
      const auto start = std::chrono::steady_clock::now();
      const std::string said = Said([&] { EXPECT_FALSE(synth.Open()); });
      // Far below the two seconds, far above the few milliseconds it waits.
      EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "open " << open;
      EXPECT_NE(said.find("no sound server answered"), std::string::npos);
    }
  }
  unsetenv("PULSE_SERVER");
  close(server);
}

}  // namespace
}  // namespace tonvale
