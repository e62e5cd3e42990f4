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
  FakeDevice(std::string name, Log* log, bool opens = true)
      : name_(std::move(name)), log_(log), opens_(opens) {}
  std::string Name() const override { return name_; }
  bool Open() override {
    log_->push_back("open " + name_);
    return opens_;
  }
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
  for (const auto& name : names) {
    devices.push_back(std::make_unique<FakeDevice>(name, log, name != refusing));
  }
  return std::make_unique<SystemMidiOut>(std::move(devices));
}

const std::uint32_t kNote = PackShortMsg(kNoteOn, 0, 60, 127);  // byte 0: 144

TEST(SystemMidiOutList, DescribesDevicesInOrderAndTheMapper) {
  Log log;
  auto empty = MakeList(&log, {});
  EXPECT_EQ(empty->DeviceCount(), 0);
  EXPECT_EQ(empty->DescribeDevice(-1), std::nullopt);
  EXPECT_EQ(empty->DescribeDevice(0), std::nullopt);
  EXPECT_FALSE(empty->Open(-1));
  EXPECT_FALSE(empty->Open(0));
  empty->Send(kNote);

  auto out = MakeList(&log, {"synth", "alsa port", "jack port"});
  EXPECT_EQ(out->DeviceCount(), 3);
  EXPECT_EQ(out->DescribeDevice(-1), "MIDI Mapper");
  EXPECT_EQ(out->DescribeDevice(0), "synth");
  EXPECT_EQ(out->DescribeDevice(2), "jack port");
  EXPECT_EQ(out->DescribeDevice(3), std::nullopt);
  EXPECT_EQ(out->DescribeDevice(-2), std::nullopt);
  EXPECT_TRUE(log.empty()) << "describing must not open anything";
}

TEST(SystemMidiOutList, MapperPlaysThroughTheFirstDeviceAndSwitchingClosesFirst) {
  Log log;
  auto out = MakeList(&log, {"synth", "port"});
  ASSERT_TRUE(out->Open(-1));
  EXPECT_EQ(out->open_device(), 0);
  out->Send(kNote);
  ASSERT_TRUE(out->Open(1));
  EXPECT_EQ(out->open_device(), 1);
  out->Send(kNote);
  EXPECT_EQ(log,
            (Log{"open synth", "send synth 144", "close synth", "open port", "send port 144"}));
}

TEST(SystemMidiOutList, FailedOpenLeavesNothingOpen) {
  Log log;
  auto out = MakeList(&log, {"synth", "broken"}, "broken");
  ASSERT_TRUE(out->Open(0));
  EXPECT_FALSE(out->Open(1));
  EXPECT_EQ(out->open_device(), std::nullopt);
  out->Send(kNote);
  out->Close();
  EXPECT_EQ(log, (Log{"open synth", "close synth", "open broken"}));

  log.clear();
  ASSERT_TRUE(out->Open(0));
  EXPECT_FALSE(out->Open(7));  // out of range: the open one is still closed first
  EXPECT_FALSE(out->Open(-2));
  out->Send(kNote);
  EXPECT_EQ(log, (Log{"open synth", "close synth"}));
}

TEST(SystemMidiOutList, ClosesOnceAndOnDestruction) {
  Log log;
  {
    auto out = MakeList(&log, {"synth"});
    out->Close();  // nothing open
    ASSERT_TRUE(out->Open(0));
    out->Close();
    out->Close();
    out->Send(kNote);
    ASSERT_TRUE(out->Open(-1));
  }
  EXPECT_EQ(log, (Log{"open synth", "close synth", "open synth", "close synth"}));
}

// The list built from the system, with the search narrowed for the test.
class SystemMidiOutSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    auto path = FindSoundfont(SoundfontCandidates());
    ASSERT_TRUE(path.has_value()) << "no General MIDI soundfont installed";
    soundfont_ = *path;
    wav_ = std::filesystem::temp_directory_path() /
           ("tonvale-list-" + std::to_string(getpid()) + ".wav");
  }
  void TearDown() override { std::filesystem::remove(wav_); }
  DeviceSearch Search(std::vector<std::string> soundfonts, std::string driver) {
    DeviceSearch search;
    search.soundfonts = std::move(soundfonts);
    search.ports = {.alsa = false, .jack = false};
    search.audio.driver = std::move(driver);
    search.audio.file_name = wav_.string();
    return search;
  }

  std::string soundfont_;
  std::filesystem::path wav_;
};

TEST_F(SystemMidiOutSearch, NoSoundfontNoPortsNoDevice) {
  for (auto candidates : {std::vector<std::string>{}, std::vector<std::string>{"/nonexistent"}}) {
    SystemMidiOut out(Search(candidates, "file"));
    EXPECT_EQ(out.DeviceCount(), 0);
    EXPECT_EQ(out.DescribeDevice(-1), std::nullopt);
    EXPECT_EQ(out.synth(), nullptr);
    EXPECT_FALSE(out.Open(-1));
    out.PreloadInBackground();  // nothing to load
  }
}

TEST_F(SystemMidiOutSearch, SoundfontGivesTheSynthesizerFirst) {
  SystemMidiOut out(Search({"/nonexistent", soundfont_}, "file"));
  ASSERT_EQ(out.DeviceCount(), 1);
  ASSERT_NE(out.synth(), nullptr);
  EXPECT_EQ(out.synth()->soundfont_path(), soundfont_);
  EXPECT_EQ(out.DescribeDevice(0), "Built-in synthesizer (FluidSynth)");
  EXPECT_EQ(out.DescribeDevice(-1), "MIDI Mapper");

  out.PreloadInBackground();
  ASSERT_TRUE(out.Open(-1));
  EXPECT_EQ(out.open_device(), 0);
  EXPECT_TRUE(out.synth()->LatencyMs().has_value());
  out.Close();
  EXPECT_FALSE(out.synth()->is_open());

  // Without a working audio output the synthesizer is listed but does not open.
  SystemMidiOut silent(Search({soundfont_}, "alsa"));
  ASSERT_EQ(silent.DeviceCount(), 1);
  EXPECT_FALSE(silent.Open(-1));
  EXPECT_EQ(silent.open_device(), std::nullopt);
  silent.Send(kNote);
}

}  // namespace
}  // namespace tonvale
