#include "devices/midi_ports.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(MidiPorts, AlsaNamesLoseTheirChangingAddressAndOurOwnPortsAreKnown) {
  EXPECT_EQ(PortDisplayName(PortApi::kAlsa, "Midi Through:Port-0 14:0"),
            "Midi Through:Port-0 (ALSA)");
  EXPECT_EQ(PortDisplayName(PortApi::kAlsa, "Synth:Port a1:0"), "Synth:Port a1:0 (ALSA)");
  EXPECT_EQ(PortDisplayName(PortApi::kAlsa, "Synth:Port 14:"), "Synth:Port 14: (ALSA)");
  for (const char* own : {"Tonvale:output 128:0", "Tonvale-01:output"}) EXPECT_TRUE(IsOwnPort(own));
  for (const char* other : {"Tonvale-x1:output", "Tonvaleish:output", "midi-monitor:Tonvale"}) {
    EXPECT_FALSE(IsOwnPort(other)) << other;
  }
}

}  // namespace
}  // namespace tonvale
