#include "tool/render_plan.h"

#include <gtest/gtest.h>

#include "files_fixture.h"
#include "recording_sink.h"

namespace tonvale {
namespace {

// An output that notes the frame each message arrives at, and a source
// whose samples count the frames.
struct TimedSink : test::RecordingSink, FrameSource {
  std::vector<std::pair<std::uint64_t, std::uint32_t>> timed;
  std::uint64_t frames = 0;
  void Send(std::uint32_t packed) override { timed.emplace_back(frames, packed); }
  void Render(std::span<std::int16_t> out) override {
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = std::int16_t((frames + i / 2) % 30000);
    frames += out.size() / 2;
  }
};

TEST(RenderPlan, MessagesGoOutAtTheirFramesWithTheSettingsGiven) {
  // Shift held; a key without a note; the last two each wait 5 ms, not 0 or 2.
  const std::vector<PerformanceEvent> events = {{1200, 256, 0x1E0001, 1},
                                                {300, 257, 0xC01E0001, 1},
                                                {0, 256, 0x000001, 0},
                                                {2, 256, 0x200001, -1}};
  TimedSink sink;
  std::vector<std::int16_t> samples;
  EXPECT_TRUE(RenderRecording(sink, sink, events, {1321, 80, true}, [&](auto block) {
    samples.insert(samples.end(), block.begin(), block.end());
    return block.size() <= 2 * kRenderBlockFrames;
  }));
  // Key mode 1321 (+2), an octave up: note 74 (0x4A), the bass an octave lower.
  std::vector<std::pair<std::uint64_t, std::uint32_t>> expected = {
      {0, 0x50C0},     {0, 0x50CF},     {52920, 0x7F4A90}, {52920, 0x7F3E9F},
      {66150, 0x4A80}, {66150, 0x3E8F}, {66591, 0x7F3690}, {66591, 0x7F2A9F}};
  for (std::uint32_t chan = 0; chan < 16; ++chan) expected.emplace_back(66591, 0x7BB0 | chan);
  EXPECT_EQ(sink.timed, expected);
  // Up to the 1.6 s tail, every frame once and in order.
  EXPECT_EQ(RenderedFrames(events), 66591u + 70560u);
  EXPECT_EQ(samples.size(), 2 * RenderedFrames(events));
  EXPECT_EQ(samples.back(), std::int16_t((66591 + 70560 - 1) % 30000));
}

// Ten minutes of silence between a press and its release: a 106 MB WAV file
// made by a child whose address space may grow by 64 MB only.
TEST(RenderPlan, ALongSilenceStreamsToTheFileInBoundedMemory) {
  test::ScratchFolder folder;
  const std::vector<PerformanceEvent> events = {{0, 256, 0x1E0001, 0}, {600000, 257, 0x1E0001, 0}};
  std::uint64_t pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  const auto render = [&] {
    TimedSink sink;
    return int(RenderWavFile(folder / "a.wav", sink, sink, events, {1297, 0, false}) ||
               sink.timed.at(3).first != 26460220);  // the release, at 600.005 s
  };
  EXPECT_EQ(test::RunLimited(RLIMIT_AS, pages * ::sysconf(_SC_PAGESIZE) + (64 << 20), render), 0);
  // 44.1 kHz, 16-bit stereo PCM; 26,530,780 frames in all.
  const std::uint32_t bytes = 106123120;
  std::ifstream wav(folder / "a.wav", std::ios::binary);
  std::string header(44, 0);
  wav.read(header.data(), 44);
  EXPECT_EQ(header,
            "RIFF\x94\x4F\x53\6WAVEfmt \x10\0\0\0\1\0\2\0\x44\xAC\0\0\x10\xB1\2\0\4\0\x10\0"
            "data\x70\x4F\x53\6"sv);
  EXPECT_EQ(std::filesystem::file_size(folder / "a.wav"), 44 + bytes);
  for (std::uint64_t frame : {0ul, 26460219ul, 26460220ul, bytes / 4 - 1ul}) {
    std::int16_t left_right[2];
    wav.seekg(44 + 4 * frame).read(reinterpret_cast<char*>(left_right), 4);
    EXPECT_EQ(left_right[1], std::int16_t(frame % 30000)) << frame;
  }
}

}  // namespace
}  // namespace tonvale
