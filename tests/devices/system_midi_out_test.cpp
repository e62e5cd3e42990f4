#include "devices/system_midi_out.h"

#include <gtest/gtest.h>

#include "devices/soundfont_search.h"

namespace tonvale {
namespace {

class ListedDevice : public OutputDevice {
 public:
  ListedDevice(std::string name, std::string* log) : name_(std::move(name)), log_(log) {}
  std::string Name() const override { return name_; }
  bool Open() override { return *log_ += "open " + name_ + ", ", name_ != "broken"; }
  void Send(std::uint32_t) override { *log_ += "send " + name_ + ", "; }
  void Close() override { *log_ += "close " + name_ + ", "; }

 private:
  std::string name_;
  std::string* log_;
};

// The mapper plays through the first device; opening another, failing or
// closing always closes the open device first, once.
TEST(SystemMidiOut, RoutesThroughOpenSwitchFailAndClose) {
  std::string log;
  std::vector<std::unique_ptr<OutputDevice>> devices;
  for (const char* name : {"synth", "port", "broken"}) {
    devices.push_back(std::make_unique<ListedDevice>(name, &log));
  }
  {
    SystemMidiOut out(std::move(devices));
    EXPECT_EQ(out.DescribeDevice(-1), "MIDI Mapper");
    EXPECT_TRUE(out.Open(-1) && out.open_device() == 0);
    out.Send(0x7F3C90);
    EXPECT_TRUE(out.Open(1));
    EXPECT_FALSE(out.Open(2) || out.open_device());
    out.Send(0x7F3C90);  // nothing open: goes nowhere
    EXPECT_TRUE(out.Open(0));
    EXPECT_FALSE(out.Open(7));  // out of range: still closed first
    EXPECT_TRUE(out.Open(1));
  }  // and closed on destruction
  EXPECT_EQ(log,
            "open synth, send synth, close synth, open port, close port, open broken, "
            "open synth, close synth, open port, close port, ");
  // The built-in synthesizer comes first, when there is a soundfont.
  DeviceSearch search{.soundfonts = {"/nonexistent.sf2"}, .ports = {.alsa = false, .jack = false}};
  EXPECT_EQ(SystemMidiOut(search).DeviceCount(), 0);
  const std::string system = FindSoundfont(SoundfontCandidates()).value_or("");
  search.soundfonts.push_back(system);
  EXPECT_EQ(SystemMidiOut(search).DescribeDevice(0), "Built-in synthesizer (FluidSynth)");
  // The user's own is tried first, whatever it is, the system's behind it.
  search.chosen_soundfont = "/nonexistent-own.sf2";
  SystemMidiOut with_own(search);
  testing::internal::CaptureStderr();
  EXPECT_TRUE(with_own.synth()->Preload());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("/nonexistent-own.sf2"), std::string::npos);
  EXPECT_EQ(with_own.synth()->LoadedSoundfont(), system);
  search.soundfonts.clear();
  EXPECT_EQ(SystemMidiOut(search).DeviceCount(), 1);
}

}  // namespace
}  // namespace tonvale
