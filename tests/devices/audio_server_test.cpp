#include "devices/audio_server.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

TEST(PulseServer, PipeWireIsToldFromPulseAudioByTheNameItReports) {
  const PulseServer pipewire = DescribePulseServer("PulseAudio (on PipeWire 0.3.65)", "15.0.0");
  EXPECT_EQ(pipewire.path, AudioPath::kPipeWire);
  EXPECT_EQ(pipewire.label, "PipeWire 0.3.65 (PulseAudio protocol)");
  const PulseServer pulse = DescribePulseServer("pulseaudio", "16.1");
  EXPECT_EQ(pulse.path, AudioPath::kPulseAudio);
  EXPECT_EQ(pulse.label, "PulseAudio 16.1");
  setenv("PULSE_SERVER", "unix:/nonexistent/tonvale/native", 1);
  EXPECT_FALSE(AskPulseServer().has_value());
  unsetenv("PULSE_SERVER");
}

}  // namespace
}  // namespace tonvale
