#include "devices/midi_ports.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(MidiPorts, DisplayNamesAndOwnPorts) {
  // ALSA loses its changing "client:port" address, and only that.
  for (const auto& [system, shown] : std::vector<std::pair<std::string, std::string>>{
           {"Midi Through:Midi Through Port-0 14:0", "Midi Through:Midi Through Port-0 (ALSA)"},
           {"Synth:Port 14:", "Synth:Port 14: (ALSA)"},
           {"Synth:Port a1:0", "Synth:Port a1:0 (ALSA)"},
           {"Plain", "Plain (ALSA)"}}) {
    EXPECT_EQ(PortDisplayName(PortApi::kAlsa, system), shown);
  }
  EXPECT_EQ(PortDisplayName(PortApi::kJack, "a2j:Midi Through [14]: Port 14:0"),
            "a2j:Midi Through [14]: Port 14:0 (JACK)");

  for (const char* own : {"Tonvale:output 128:0", "Tonvale-01:output", "Tonvale"}) {
    EXPECT_TRUE(IsOwnPort(own)) << own;
  }
  for (const char* other : {"Tonvale-:output", "Tonvale-x1:output", "Tonvaleish:output",
                            "tonvale:output", "midi-monitor:Tonvale", ""}) {
    EXPECT_FALSE(IsOwnPort(other)) << other;
  }
}

// Whatever this machine offers, the list is taken without starting a server
// and never offers our own ports.
TEST(MidiPorts, TheSystemsListHoldsNoneOfOurOwnPorts) {
  MidiPorts ports;
  for (const auto& port : ports.ports()) {
    EXPECT_FALSE(IsOwnPort(port.system_name)) << port.system_name;
    EXPECT_EQ(port.display_name, PortDisplayName(port.api, port.system_name));
  }
  EXPECT_FALSE(ports.Open(ports.ports().size()));
}

}  // namespace
}  // namespace tonvale
