#include "devices/system_midi_out.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "devices/soundfont_search.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

using Log = std::vector<std::string>;

class ListedDevice : public OutputDevice {
 public:
  ListedDevice(std::string name, Log* log) : name_(std::move(name)), log_(log) {}
  std::string Name() const override { return name_; }
  bool Open() override { return log_->push_back("open " + name_), name_ != "broken"; }
  void Send(std::uint32_t packed) override {
    log_->push_back("send " + name_ + " " + std::to_string(packed & 0xFF));
  }
  void Close() override { log_->push_back("close " + name_); }

 private:
  std::string name_;
  Log* log_;
};

// Describing opens nothing; the mapper plays through the first device;
// switching, failing or closing always closes the open device first, once.
TEST(SystemMidiOut, RoutesThroughOpenSwitchFailAndClose) {
  Log log;
  std::vector<std::unique_ptr<OutputDevice>> devices;
  for (const char* name : {"synth", "port", "broken"}) {
    devices.push_back(std::make_unique<ListedDevice>(name, &log));
  }
  {
    SystemMidiOut out(std::move(devices));
    EXPECT_EQ(out.DescribeDevice(-1), "MIDI Mapper");
    EXPECT_EQ(out.DescribeDevice(2), "broken");
    EXPECT_EQ(out.DescribeDevice(3), std::nullopt);
    EXPECT_EQ(out.DescribeDevice(-2), std::nullopt);
    ASSERT_TRUE(out.Open(-1));
    EXPECT_EQ(out.open_device(), 0);
    out.Send(PackShortMsg(kNoteOn, 0, 60, 127));
    ASSERT_TRUE(out.Open(1));
    EXPECT_FALSE(out.Open(2));
    EXPECT_EQ(out.open_device(), std::nullopt);
    out.Send(PackShortMsg(kNoteOn, 0, 60, 127));  // nothing open: goes nowhere
    ASSERT_TRUE(out.Open(0));
    EXPECT_FALSE(out.Open(7));  // out of range: the open one is still closed first
    ASSERT_TRUE(out.Open(1));
  }  // and closed on destruction
  EXPECT_EQ(log, (Log{"open synth", "send synth 144", "close synth", "open port", "close port",
                      "open broken", "open synth", "close synth", "open port", "close port"}));
}

TEST(SystemMidiOut, ASoundfontPutsTheSynthesizerFirstAndNoneLeavesNoDevice) {
  const auto soundfont = FindSoundfont(SoundfontCandidates());
  ASSERT_TRUE(soundfont.has_value()) << "no General MIDI soundfont installed";
  const auto wav = std::filesystem::temp_directory_path() /
                   ("tonvale-list-" + std::to_string(getpid()) + ".wav");
  DeviceSearch search{.soundfonts = {"/nonexistent.sf2"},
                      .ports = {.alsa = false, .jack = false},
                      .audio = {.driver = "file", .file_name = wav}};
  SystemMidiOut none(search);
  EXPECT_EQ(none.DeviceCount(), 0);
  EXPECT_EQ(none.DescribeDevice(-1), std::nullopt);
  EXPECT_FALSE(none.Open(-1));

  search.soundfonts.push_back(*soundfont);
  SystemMidiOut out(search);
  ASSERT_EQ(out.DeviceCount(), 1);
  EXPECT_EQ(out.DescribeDevice(0), "Built-in synthesizer (FluidSynth)");
  out.PreloadInBackground();
  ASSERT_TRUE(out.Open(-1));
  EXPECT_TRUE(out.synth()->is_open());
  out.Close();
  EXPECT_FALSE(out.synth()->is_open());
  std::filesystem::remove(wav);
}

}  // namespace
}  // namespace tonvale
