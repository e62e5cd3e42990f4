#include "devices/system_midi_out.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "devices/soundfont_search.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

using Log = std::vector<std::string>;

class FakeDevice : public OutputDevice {
 public:
  FakeDevice(std::string name, Log* log, bool opens)
      : name_(std::move(name)), log_(log), opens_(opens) {}
  std::string Name() const override { return name_; }
  bool Open() override { return log_->push_back("open " + name_), opens_; }
  void Send(std::uint32_t packed) override {
    log_->push_back("send " + name_ + " " + std::to_string(packed & 0xFF));
  }
  void Close() override { log_->push_back("close " + name_); }

 private:
  std::string name_;
  Log* log_;
  bool opens_;
};

std::unique_ptr<SystemMidiOut> MakeList(Log* log, const std::vector<std::string>& names,
                                        const std::string& refusing = "") {
  std::vector<std::unique_ptr<OutputDevice>> devices;
  for (const auto& name : names)
    devices.push_back(std::make_unique<FakeDevice>(name, log, name != refusing));
  return std::make_unique<SystemMidiOut>(std::move(devices));
}

const std::uint32_t kNote = PackShortMsg(kNoteOn, 0, 60, 127);  // byte 0: 144

// Describing opens nothing; the mapper plays through the first device;
// switching, failing or closing always closes the open device first, once.
TEST(SystemMidiOutList, DescribesAndRoutesThroughOpenSwitchFailAndClose) {
  Log log;
  auto empty = MakeList(&log, {});
  EXPECT_EQ(empty->DeviceCount(), 0);
  EXPECT_EQ(empty->DescribeDevice(-1), std::nullopt);
  EXPECT_FALSE(empty->Open(-1));
  EXPECT_FALSE(empty->Open(0));
  empty->Send(kNote);
  {
    auto out = MakeList(&log, {"synth", "port", "broken"}, "broken");
    EXPECT_EQ(out->DeviceCount(), 3);
    EXPECT_EQ(out->DescribeDevice(-1), "MIDI Mapper");
    EXPECT_EQ(out->DescribeDevice(0), "synth");
    EXPECT_EQ(out->DescribeDevice(2), "broken");
    EXPECT_EQ(out->DescribeDevice(3), std::nullopt);
    EXPECT_EQ(out->DescribeDevice(-2), std::nullopt);
    EXPECT_TRUE(log.empty());
    out->Close();  // nothing open
    ASSERT_TRUE(out->Open(-1));
    EXPECT_EQ(out->open_device(), 0);
    out->Send(kNote);
    ASSERT_TRUE(out->Open(1));
    EXPECT_EQ(out->open_device(), 1);
    out->Send(kNote);
    EXPECT_FALSE(out->Open(2));
    EXPECT_EQ(out->open_device(), std::nullopt);
    out->Send(kNote);
    out->Close();
    EXPECT_EQ(log, (Log{"open synth", "send synth 144", "close synth", "open port", "send port 144",
                        "close port", "open broken"}));

    log.clear();
    for (int bad : {7, -2}) {  // out of range: the open one is still closed first
      ASSERT_TRUE(out->Open(0));
      EXPECT_FALSE(out->Open(bad));
      out->Send(kNote);
    }
    out->Close();
    ASSERT_TRUE(out->Open(0));
  }  // and closed on destruction
  EXPECT_EQ(log, (Log{"open synth", "close synth", "open synth", "close synth", "open synth",
                      "close synth"}));
}

// The list built from the system, with the search narrowed for the test.
TEST(SystemMidiOutSearch, ASoundfontGivesTheSynthesizerFirstOtherwiseNothing) {
  auto soundfont = FindSoundfont(SoundfontCandidates());
  ASSERT_TRUE(soundfont.has_value()) << "no General MIDI soundfont installed";
  const auto wav = std::filesystem::temp_directory_path() /
                   ("tonvale-list-" + std::to_string(getpid()) + ".wav");
  auto search = [&](std::vector<std::string> soundfonts, std::string driver) {
    DeviceSearch s;
    s.soundfonts = std::move(soundfonts);
    s.ports = {.alsa = false, .jack = false};
    s.audio.driver = std::move(driver);
    s.audio.file_name = wav.string();
    return s;
  };

  for (auto candidates : {std::vector<std::string>{}, std::vector<std::string>{"/nonexistent"}}) {
    SystemMidiOut out(search(candidates, "file"));
    EXPECT_EQ(out.DeviceCount(), 0);
    EXPECT_EQ(out.DescribeDevice(-1), std::nullopt);
    EXPECT_EQ(out.synth(), nullptr);
    EXPECT_FALSE(out.Open(-1));
    out.PreloadInBackground();  // nothing to load
  }

  SystemMidiOut out(search({"/nonexistent", *soundfont}, "file"));
  ASSERT_EQ(out.DeviceCount(), 1);
  ASSERT_NE(out.synth(), nullptr);
  EXPECT_EQ(out.synth()->soundfont_path(), *soundfont);
  EXPECT_EQ(out.DescribeDevice(0), "Built-in synthesizer (FluidSynth)");
  EXPECT_EQ(out.DescribeDevice(-1), "MIDI Mapper");
  out.PreloadInBackground();
  ASSERT_TRUE(out.Open(-1));
  EXPECT_EQ(out.open_device(), 0);
  EXPECT_TRUE(out.synth()->LatencyMs().has_value());
  out.Close();
  EXPECT_FALSE(out.synth()->is_open());
  std::filesystem::remove(wav);

  // Without a working audio output the synthesizer is listed but does not open.
  SystemMidiOut silent(search({*soundfont}, "alsa"));
  ASSERT_EQ(silent.DeviceCount(), 1);
  EXPECT_FALSE(silent.Open(-1));
  EXPECT_EQ(silent.open_device(), std::nullopt);
  silent.Send(kNote);
}

}  // namespace
}  // namespace tonvale
