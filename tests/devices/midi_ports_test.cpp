#include "devices/midi_ports.h"

#include <gtest/gtest.h>

#include "perform/midi_messages.h"

namespace tonvale {
namespace {

TEST(PortDisplayName, AlsaLosesItsChangingAddress) {
  EXPECT_EQ(PortDisplayName(PortApi::kAlsa, "Midi Through:Midi Through Port-0 14:0"),
            "Midi Through:Midi Through Port-0 (ALSA)");
  // Anything that is not "digits:digits" at the end is part of the name.
  EXPECT_EQ(PortDisplayName(PortApi::kAlsa, "Synth:Port 14:"), "Synth:Port 14: (ALSA)");
  EXPECT_EQ(PortDisplayName(PortApi::kAlsa, "Synth:Port a1:0"), "Synth:Port a1:0 (ALSA)");
  EXPECT_EQ(PortDisplayName(PortApi::kAlsa, "Synth:Port 1:2:3"), "Synth:Port 1:2:3 (ALSA)");
  EXPECT_EQ(PortDisplayName(PortApi::kAlsa, "Plain"), "Plain (ALSA)");
}

TEST(PortDisplayName, JackKeepsTheFullPortName) {
  EXPECT_EQ(PortDisplayName(PortApi::kJack, "midi-monitor:input"), "midi-monitor:input (JACK)");
  EXPECT_EQ(PortDisplayName(PortApi::kJack, "a2j:Midi Through [14] (playback): Port 14:0"),
            "a2j:Midi Through [14] (playback): Port 14:0 (JACK)");
}

TEST(IsOwnPort, OnlyTonvaleClients) {
  EXPECT_TRUE(IsOwnPort("Tonvale:output 128:0"));
  EXPECT_TRUE(IsOwnPort("Tonvale:output"));
  EXPECT_TRUE(IsOwnPort("Tonvale-01:output"));
  EXPECT_TRUE(IsOwnPort("Tonvale"));
  EXPECT_FALSE(IsOwnPort("Tonvale-:output"));
  EXPECT_FALSE(IsOwnPort("Tonvale-x1:output"));
  EXPECT_FALSE(IsOwnPort("Tonvaleish:output"));
  EXPECT_FALSE(IsOwnPort("Tonvale_01:output"));
  EXPECT_FALSE(IsOwnPort("tonvale:output"));
  EXPECT_FALSE(IsOwnPort("midi-monitor:Tonvale"));
  EXPECT_FALSE(IsOwnPort(""));
}

TEST(MidiPorts, NoApisNoPortsAndNothingOpens) {
  MidiPorts ports(PortApis{.alsa = false, .jack = false});
  EXPECT_TRUE(ports.ports().empty());
  EXPECT_FALSE(ports.Open(0));
  ports.Send(PackShortMsg(kNoteOn, 0, 60, 127));
  ports.Close();
}

TEST(MidiPorts, SystemListHoldsNoneOfOurOwnPorts) {
  // Whatever this machine offers (here: no sequencer, no JACK server), the
  // list is taken without throwing and without starting a server.
  MidiPorts ports;
  for (const auto& port : ports.ports()) {
    EXPECT_FALSE(IsOwnPort(port.system_name)) << port.system_name;
    EXPECT_EQ(port.display_name, PortDisplayName(port.api, port.system_name));
  }
  EXPECT_FALSE(ports.Open(ports.ports().size()));
}

}  // namespace
}  // namespace tonvale
