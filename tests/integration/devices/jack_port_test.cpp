// A real JACK server and our own receiver on it: what the device list sends
// to a JACK port arrives byte for byte, also what is sent the moment the port
// opens and the moment before it closes, with long periods and a busy CPU.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "devices/jack_probe.h"
#include "devices/midi_ports.h"
#include "devices/system_midi_out.h"
#include "jack_midi_receiver.h"
#include "perform/midi_messages.h"
#include "servers.h"

namespace tonvale {
namespace {

TEST(JackPort, EveryMessageArrivesFromOpenToCloseAlsoWhenTheCpuIsBusy) {
  test::ScratchDir dir("tonvale-jack");
  test::JackServer jack;
  // Asking about a server that does not run must not start one.
  EXPECT_TRUE(MidiPorts(PortApis{.alsa = false, .jack = true}).ports().empty());
  EXPECT_FALSE(JackServerRunning());
  ASSERT_TRUE(jack.Start(1024, dir.path())) << jack.error();  // 21 ms, to spare the CPU
  auto receiver = std::make_unique<test::JackMidiReceiver>();
  ASSERT_TRUE(receiver->ok());
  DeviceSearch search = DeviceSearch::FromEnvironment();
  search.ports.alsa = false;  // only what this server offers
  search.soundfonts.clear();
  SystemMidiOut out(search);
  ASSERT_EQ(out.DeviceCount(), 1);
  ASSERT_EQ(out.DescribeDevice(0), "tonvale-test-receiver:in (JACK)");

  std::vector<std::string> want;
  std::vector<test::Process> hogs;
  for (int round = 0; round < 6; ++round) {
    // From round 3 on, busy shells, more than there are cores.
    for (unsigned i = 0; round == 3 && i <= std::thread::hardware_concurrency(); ++i) {
      hogs.emplace_back(test::SpawnOptions{.args = {"sh", "-c", "while :; do :; done"}});
    }
    // Sent at once after opening (as the window does), then at once before closing.
    ASSERT_TRUE(out.Open(0));
    EXPECT_EQ(receiver->connections(), 1);
    out.Send(PackShortMsg(kProgramChange, 0, 40, 0));
    out.Send(PackShortMsg(kNoteOn, 15, 62, 100));
    out.Send(0x00003C3C);  // not a message: nothing goes out
    out.Send(PackShortMsg(kControlChange, 1, kAllNotesOff, 0));
    out.Close();
    EXPECT_EQ(receiver->connections(), 0);
    out.Send(PackShortMsg(kNoteOn, 0, 61, 127));  // closed: goes nowhere
    want.insert(want.end(), {"c0 28", "9f 3e 64", "b1 7b 00"});
  }
  hogs.clear();
  EXPECT_EQ(test::BytesOf(receiver->WaitFor(want.size())), want);

  // A port that went away does not open.
  receiver.reset();
  EXPECT_FALSE(out.Open(0));
  EXPECT_EQ(out.open_device(), std::nullopt);
}

}  // namespace
}  // namespace tonvale
