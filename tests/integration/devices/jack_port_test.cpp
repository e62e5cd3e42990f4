// A real JACK server, started here, with jack_midi_dump listening: what our
// device list sends to that JACK port must arrive byte for byte.
#include <gtest/gtest.h>
#include <jack/jack.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "devices/builtin_synth.h"
#include "devices/jack_midi_out.h"
#include "devices/jack_probe.h"
#include "devices/midi_ports.h"
#include "devices/soundfont_search.h"
#include "devices/system_midi_out.h"
#include "perform/midi_messages.h"
#include "servers.h"

namespace tonvale {
namespace {

using namespace std::chrono_literals;

class JackServer : public ::testing::Test {
 protected:
  // `period` frames per JACK period, and jack_midi_dump listening.
  void Start(int period) {
    // Before the server exists, asking about it must not start it.
    EXPECT_FALSE(JackServerRunning());
    EXPECT_TRUE(MidiPorts(PortApis{.alsa = false, .jack = true}).ports().empty());
    EXPECT_FALSE(JackServerRunning());
    ASSERT_TRUE(jack_.Start(period, dir_.path())) << jack_.error();
    ASSERT_TRUE(JackServerRunning());
    ASSERT_TRUE(dump_.Start(dir_.path())) << dump_.Text();
  }

  bool Connected() {
    jack_client_t* client = jack_client_open("tonvale-test-look", JackNoStartServer, nullptr);
    if (client == nullptr) return false;
    jack_port_t* port = jack_port_by_name(client, "Tonvale:output");
    const bool connected = port != nullptr && jack_port_connected_to(port, "midi-monitor:input");
    jack_client_close(client);
    return connected;
  }

  // Busy shells, more than there are cores, so JACK's threads wait for the CPU.
  void StartHogs() {
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()) + 1; ++i) {
      hogs_.emplace_back(
          test::SpawnOptions{.args = {"sh", "-c", "while :; do :; done"}, .log = {}, .fds = {}});
      ASSERT_TRUE(hogs_.back().running());
    }
  }

  // Declared in the order they start, so that they stop the other way round.
  test::ScratchDir dir_{"tonvale-jack"};
  test::JackServer jack_;
  test::MidiDump dump_;
  std::vector<test::Process> hogs_;
};

DeviceSearch PortsOnly(bool with_synthesizer) {
  DeviceSearch search = DeviceSearch::FromEnvironment();
  search.ports.alsa = false;  // only what this test's server offers
  if (!with_synthesizer) search.soundfonts.clear();
  return search;
}

TEST_F(JackServer, PortDeliversTheExactBytesAndSynthesizerPlaysThroughJack) {
  ASSERT_NO_FATAL_FAILURE(Start(64));
  SystemMidiOut out(PortsOnly(true));
  // The synthesizer first, then the JACK port.
  const int count = out.DeviceCount();
  ASSERT_GE(count, 2);
  EXPECT_EQ(out.DescribeDevice(0), BuiltinSynth::kName);
  const int port = count - 1;
  ASSERT_EQ(out.DescribeDevice(port), "midi-monitor:input (JACK)");
  ASSERT_TRUE(out.Open(port));
  EXPECT_TRUE(Connected());
  out.Send(PackShortMsg(kNoteOn, 0, 60, 127));
  out.Send(PackShortMsg(kNoteOff, 0, 60, 0));
  out.Send(0x00003C3C);  // not a message: nothing goes out
  out.Send(PackShortMsg(kProgramChange, 3, 40, 0));
  EXPECT_EQ(dump_.WaitForMessages(3), (std::vector<std::string>{"90 3c 7f", "80 3c 00", "c3 28"}))
      << dump_.Text();

  out.Close();
  EXPECT_FALSE(Connected());
  out.Send(PackShortMsg(kNoteOn, 0, 61, 127));  // closed: goes nowhere
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(dump_.Events().size(), 3u);
  // Reopening finds the port again and plays on.
  ASSERT_TRUE(out.Open(port));
  out.Send(PackShortMsg(kNoteOn, 1, 62, 100));
  EXPECT_EQ(dump_.WaitForMessages(4).back(), "91 3e 64");
  out.Close();

  // The built-in synthesizer on FluidSynth's JACK driver, now that a server runs.
  AudioOptions audio;
  audio.driver = "jack";
  const auto soundfont = FindSoundfont(SoundfontCandidates());
  ASSERT_TRUE(soundfont.has_value());
  BuiltinSynth synth(*soundfont, audio);
  ASSERT_TRUE(synth.Open());
  EXPECT_EQ(synth.DriverName(), "jack");
  synth.Send(PackShortMsg(kNoteOn, 0, 60, 127));
  synth.Close();

  // No synthesizer: the mapper is the port, and a port that went away does not open.
  SystemMidiOut ports_only(PortsOnly(false));
  ASSERT_EQ(ports_only.DeviceCount(), 1);
  EXPECT_EQ(ports_only.DescribeDevice(-1), "MIDI Mapper");
  dump_.Stop();
  EXPECT_FALSE(ports_only.Open(-1));
  EXPECT_EQ(ports_only.open_device(), std::nullopt);
}

// Long periods, as a user sets them to spare the CPU. Open returns with the
// connection in the graph (how long Open and Close wait for it, idle and
// under load, is recorded for the record only); what is sent the moment a
// port opens (the program changes) and the moment before it closes (All
// Notes Off on every channel) all arrives, also when the CPU is busy.
TEST_F(JackServer, NothingLostAtOpenOrCloseWithLongPeriods) {
  ASSERT_NO_FATAL_FAILURE(Start(1024));
  std::vector<std::string> want;
  const auto sent = [&](unsigned status, unsigned channel, unsigned data) {
    char bytes[16];
    std::snprintf(bytes, sizeof bytes, status == kProgramChange ? "%02x %02x" : "%02x %02x 00",
                  status | channel, data);
    want.emplace_back(bytes);
    return PackShortMsg(status, channel, data, 0);
  };
  {
    MidiPorts ports(PortApis{.alsa = false, .jack = true});
    ASSERT_EQ(ports.ports().size(), 1u);
    ASSERT_NE(ports.jack(), nullptr);
    for (const bool loaded : {false, true}) {
      if (loaded) StartHogs();
      std::chrono::microseconds open_max{0};
      std::chrono::microseconds close_max{0};
      for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(ports.Open(0));
        EXPECT_TRUE(Connected()) << "round " << round;
        ports.Send(sent(kControlChange, round, 0x7B));
        ports.Close();
        open_max = std::max(open_max, ports.jack()->last_open_wait());
        close_max = std::max(close_max, ports.jack()->last_close_wait());
      }
      const std::string tag = loaded ? "loaded" : "idle";
      RecordProperty("open_wait_max_us_" + tag, static_cast<int>(open_max.count()));
      RecordProperty("close_wait_max_us_" + tag, static_cast<int>(close_max.count()));
    }
  }

  SystemMidiOut out(PortsOnly(false));
  ASSERT_EQ(out.DescribeDevice(0), "midi-monitor:input (JACK)");
  for (int round = 0; round < 4; ++round) {
    // Sent at once after opening.
    ASSERT_TRUE(out.Open(0));
    out.Send(sent(kProgramChange, 0, 40));
    out.Send(sent(kProgramChange, 15, 40));
    std::this_thread::sleep_for(100ms);
    out.Close();
    // Sent right before closing.
    ASSERT_TRUE(out.Open(0));
    std::this_thread::sleep_for(100ms);
    out.Send(PackShortMsg(kNoteOn, 0, 60, 127));
    want.emplace_back("90 3c 7f");
    for (int channel = 0; channel < 16; ++channel) out.Send(sent(kControlChange, channel, 0x7B));
    out.Close();
  }
  for (test::Process& hog : hogs_) hog.Stop(SIGKILL);
  EXPECT_EQ(dump_.WaitForMessages(want.size()), want) << dump_.Text();
}

}  // namespace
}  // namespace tonvale
