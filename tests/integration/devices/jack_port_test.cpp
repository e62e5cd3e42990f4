// A real JACK server, started here, with jack_midi_dump listening: what our
// device list sends to that JACK port must arrive byte for byte.
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "child_programs.h"
#include "devices/builtin_synth.h"
#include "devices/jack_midi_out.h"
#include "devices/jack_probe.h"
#include "devices/midi_ports.h"
#include "devices/soundfont_search.h"
#include "devices/system_midi_out.h"
#include "jack_server.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::DumpedMessages;
using test::ReadAll;
using test::Spawn;
using test::Stop;

class JackServer : public ::testing::Test {
 protected:
  // Frames per JACK period.
  virtual int Period() const { return 64; }

  void SetUp() override {
    server_ = "tonvale-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server_.c_str(), 1);
    char pattern[] = "/tmp/tonvale-jack-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;

    // Before the server exists, asking about it must not start it.
    EXPECT_FALSE(JackServerRunning());
    EXPECT_TRUE(MidiPorts(PortApis{.alsa = false, .jack = true}).ports().empty());
    EXPECT_FALSE(JackServerRunning());

    std::string error;
    jackd_ = test::StartJackServer(server_, Period(), dir_, error);
    ASSERT_GT(jackd_, 0) << error;
    ASSERT_TRUE(JackServerRunning());
  }

  void TearDown() override {
    for (pid_t& hog : hogs_) Stop(hog, 5s, SIGKILL);
    Stop(dump_);
    Stop(jackd_, test::kJackGrace);
    unsetenv("JACK_DEFAULT_SERVER");
    fs::remove_all(dir_);
  }

  // jack_midi_dump with line-buffered output, and its port up.
  void StartDump() {
    dump_ = Spawn({"stdbuf", "-oL", "jack_midi_dump", "-a"}, dir_ / "dump.log");
    ASSERT_GT(dump_, 0);
    jack_client_t* client = jack_client_open("tonvale-test-watch", JackNoStartServer, nullptr);
    ASSERT_NE(client, nullptr);
    bool up = false;
    for (int i = 0; i < 200 && !up; ++i) {
      up = jack_port_by_name(client, "midi-monitor:input") != nullptr;
      if (!up) std::this_thread::sleep_for(25ms);
    }
    jack_client_close(client);
    ASSERT_TRUE(up) << ReadAll(dir_ / "dump.log");
  }

  bool Connected(const char* from, const char* to) {
    jack_client_t* client = jack_client_open("tonvale-test-look", JackNoStartServer, nullptr);
    if (client == nullptr) return false;
    jack_port_t* port = jack_port_by_name(client, from);
    const bool connected = port != nullptr && jack_port_connected_to(port, to) != 0;
    jack_client_close(client);
    return connected;
  }

  // Busy shells, more than there are cores, so JACK's threads wait for the CPU.
  void StartHogs() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < cores + 1; ++i) {
      hogs_.push_back(Spawn({"sh", "-c", "while :; do :; done"}, "/dev/null"));
      ASSERT_GT(hogs_.back(), 0);
    }
  }

  std::vector<std::string> WaitForMessages(std::size_t count) {
    std::vector<std::string> got;
    for (int i = 0; i < 200; ++i) {
      got = DumpedMessages(ReadAll(dir_ / "dump.log"));
      if (got.size() >= count) break;
      std::this_thread::sleep_for(25ms);
    }
    std::this_thread::sleep_for(200ms);  // anything extra would show up now
    return DumpedMessages(ReadAll(dir_ / "dump.log"));
  }

  std::string server_;
  fs::path dir_;
  pid_t jackd_ = -1;
  pid_t dump_ = -1;
  std::vector<pid_t> hogs_;
};

// Long periods, as a user sets them to spare the CPU.
class JackServerLongPeriods : public JackServer {
 protected:
  int Period() const override { return 1024; }
};

TEST_F(JackServer, PortDeviceDeliversTheExactBytes) {
  StartDump();
  DeviceSearch search = DeviceSearch::FromEnvironment();
  search.ports.alsa = false;  // only what this test's server offers
  SystemMidiOut out(search);

  // The synthesizer first, then the JACK port.
  const int count = out.DeviceCount();
  ASSERT_GE(count, 2);
  EXPECT_EQ(out.DescribeDevice(0), BuiltinSynth::kName);
  int port = -1;
  for (int i = 0; i < count; ++i) {
    if (out.DescribeDevice(i) == "midi-monitor:input (JACK)") port = i;
  }
  ASSERT_EQ(port, count - 1) << "the JACK port is missing or not last";

  ASSERT_TRUE(out.Open(port));
  EXPECT_TRUE(Connected("Tonvale:output", "midi-monitor:input"));
  out.Send(PackShortMsg(kNoteOn, 0, 60, 127));
  out.Send(PackShortMsg(kNoteOff, 0, 60, 0));
  out.Send(0x00003C3C);  // not a message: nothing goes out
  out.Send(PackShortMsg(kProgramChange, 3, 40, 0));
  const auto got = WaitForMessages(3);
  EXPECT_EQ(got, (std::vector<std::string>{"90 3c 7f", "80 3c 00", "c3 28"}))
      << ReadAll(dir_ / "dump.log");

  out.Close();
  EXPECT_FALSE(Connected("Tonvale:output", "midi-monitor:input"));
  out.Send(PackShortMsg(kNoteOn, 0, 61, 127));  // closed: goes nowhere
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(DumpedMessages(ReadAll(dir_ / "dump.log")).size(), 3u);

  // Reopening finds the port again and plays on.
  ASSERT_TRUE(out.Open(port));
  out.Send(PackShortMsg(kNoteOn, 1, 62, 100));
  EXPECT_EQ(WaitForMessages(4).back(), "91 3e 64");
}

TEST_F(JackServer, PortThatWentAwayDoesNotOpen) {
  StartDump();
  DeviceSearch search = DeviceSearch::FromEnvironment();
  search.ports.alsa = false;
  search.soundfonts.clear();
  SystemMidiOut out(search);
  ASSERT_EQ(out.DeviceCount(), 1);
  EXPECT_EQ(out.DescribeDevice(-1), "MIDI Mapper");  // no synthesizer: the mapper is the port
  Stop(dump_);
  EXPECT_FALSE(out.Open(-1));
  EXPECT_EQ(out.open_device(), std::nullopt);
}

TEST_F(JackServer, SynthesizerPlaysThroughJackWhenAServerRuns) {
  auto path = FindSoundfont(SoundfontCandidates());
  ASSERT_TRUE(path.has_value());
  AudioOptions audio;
  audio.driver = "jack";
  BuiltinSynth synth(*path, audio);
  ASSERT_TRUE(synth.Open());
  EXPECT_EQ(synth.DriverName(), "jack");
  synth.Send(PackShortMsg(kNoteOn, 0, 60, 127));
  synth.Close();
}

// What is sent the moment a port opens (the program changes) and the moment
// before it closes (All Notes Off on every channel) must all arrive, also when
// the CPU is busy and the periods are long.
TEST_F(JackServerLongPeriods, NothingLostAtOpenOrClose) {
  StartDump();
  DeviceSearch search = DeviceSearch::FromEnvironment();
  search.ports.alsa = false;
  search.soundfonts.clear();
  SystemMidiOut out(search);
  ASSERT_EQ(out.DescribeDevice(0), "midi-monitor:input (JACK)");
  StartHogs();

  std::vector<std::string> want;
  auto send = [&](std::uint32_t packed, const char* bytes) {
    out.Send(packed);
    want.emplace_back(bytes);
  };
  static const char* const kAllOff[16] = {"b0 7b 00", "b1 7b 00", "b2 7b 00", "b3 7b 00",
                                          "b4 7b 00", "b5 7b 00", "b6 7b 00", "b7 7b 00",
                                          "b8 7b 00", "b9 7b 00", "ba 7b 00", "bb 7b 00",
                                          "bc 7b 00", "bd 7b 00", "be 7b 00", "bf 7b 00"};
  for (int round = 0; round < 4; ++round) {
    // Sent at once after opening.
    ASSERT_TRUE(out.Open(0));
    send(PackShortMsg(kProgramChange, 0, 40, 0), "c0 28");
    send(PackShortMsg(kProgramChange, 15, 40, 0), "cf 28");
    std::this_thread::sleep_for(100ms);
    out.Close();
    // Sent right before closing.
    ASSERT_TRUE(out.Open(0));
    std::this_thread::sleep_for(100ms);
    send(PackShortMsg(kNoteOn, 0, 60, 127), "90 3c 7f");
    for (int channel = 0; channel < 16; ++channel) {
      send(PackShortMsg(kControlChange, channel, 0x7B, 0), kAllOff[channel]);
    }
    out.Close();
  }
  for (pid_t& hog : hogs_) Stop(hog, 5s, SIGKILL);
  EXPECT_EQ(WaitForMessages(want.size()), want) << ReadAll(dir_ / "dump.log");
}

// Open returns with the connection in the graph, and how long Open and Close
// wait for it, idle and under load (recorded, for the record only).
TEST_F(JackServerLongPeriods, OpenReturnsConnectedAndTellsItsWaits) {
  StartDump();
  MidiPorts ports(PortApis{.alsa = false, .jack = true});
  ASSERT_EQ(ports.ports().size(), 1u);
  ASSERT_NE(ports.jack(), nullptr);
  std::size_t sent = 0;
  for (const bool loaded : {false, true}) {
    if (loaded) StartHogs();
    std::chrono::microseconds open_max{0};
    std::chrono::microseconds close_max{0};
    for (int round = 0; round < 5; ++round) {
      ASSERT_TRUE(ports.Open(0));
      EXPECT_TRUE(Connected("Tonvale:output", "midi-monitor:input")) << "round " << round;
      ports.Send(PackShortMsg(kControlChange, round, 0x7B, 0));
      ++sent;
      ports.Close();
      open_max = std::max(open_max, ports.jack()->last_open_wait());
      close_max = std::max(close_max, ports.jack()->last_close_wait());
    }
    const std::string tag = loaded ? "loaded" : "idle";
    RecordProperty("open_wait_max_us_" + tag, static_cast<int>(open_max.count()));
    RecordProperty("close_wait_max_us_" + tag, static_cast<int>(close_max.count()));
  }
  for (pid_t& hog : hogs_) Stop(hog, 5s, SIGKILL);
  EXPECT_EQ(WaitForMessages(sent).size(), sent) << ReadAll(dir_ / "dump.log");
}

}  // namespace
}  // namespace tonvale
