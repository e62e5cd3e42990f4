#include "tool/render_plan.h"

#include <gtest/gtest.h>

#include <utility>

#include "recording_sink.h"

namespace tonvale {
namespace {

using Msg = std::pair<std::uint64_t, std::vector<std::uint8_t>>;

// An output that notes at which frame each message arrived, and a source
// whose samples count the frames.
class TimedSink : public test::RecordingSink, public FrameSource {
 public:
  std::vector<Msg> timed;
  std::uint64_t frames = 0;

  void Send(std::uint32_t packed) override {
    RecordingSink::Send(packed);
    timed.emplace_back(frames, Bytes(packed));
  }
  void Render(std::span<std::int16_t> out) override {
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = std::int16_t((frames + i / 2) % 30000);
    frames += out.size() / 2;
  }
};

TEST(RenderPlan, EventTimesKeepTheFiveMillisecondFloorAndTheTail) {
  const std::vector<PerformanceEvent> events = {{0, 256, 0x1E0000, 0},
                                                {0, 256, 0x1F0000, 0},
                                                {1200, 257, 0x1E0000, 0},
                                                {3, 257, 0x1F0000, 0},
                                                {300, 256, 0x200000, 0}};
  EXPECT_EQ(EventTimesMs(events), (std::vector<std::uint64_t>{5, 10, 1210, 1215, 1515}));
  const std::vector<PerformanceEvent> longest(2, {0xFFFFFFFFu, 256, 0, 0});
  EXPECT_EQ(EventTimesMs(longest), (std::vector<std::uint64_t>{0xFFFFFFFFull, 0x1FFFFFFFEull}));
  EXPECT_EQ(FrameAt(1), 44u);
  EXPECT_EQ(RenderedFrames(std::vector<std::uint64_t>{5, 1500}), 66150u + 70560u);

  // An empty recording is the programs, the silencing and the tail alone.
  TimedSink sink;
  EXPECT_EQ(RenderRecording(sink, sink, {}, {1297, 0, false}).size(), 2 * 70560u);
  EXPECT_EQ(sink.timed.size(), 2u + 16u);
}

TEST(RenderPlan, MessagesGoOutAtTheirFramesWithTheSettingsGiven) {
  TimedSink sink;
  const std::vector<PerformanceEvent> events = {{1200, 256, 0x001E0001, 1},
                                                {300, 257, 0xC01E0001, 1},
                                                {0, 256, 0x00000001, 0},  // no note
                                                {2, 256, 0x00200001, -1}};
  const std::vector<std::int16_t> samples = RenderRecording(sink, sink, events, {1321, 80, true});
  const std::uint64_t at_press = FrameAt(1200), at_release = FrameAt(1500), at_last = FrameAt(1510);
  std::vector<Msg> expected = {
      {0, {0xC0, 80, 0}},
      {0, {0xCF, 80, 0}},
      // Shift +1 and key mode 1321 (+2): note 74, the bass an octave lower.
      {at_press, {0x90, 74, 127}},
      {at_press, {0x9F, 62, 127}},
      {at_release, {0x80, 74, 0}},
      {at_release, {0x8F, 62, 0}},
      // The key without a note takes its time but sounds nothing.
      {at_last, {0x90, 54, 127}},
      {at_last, {0x9F, 42, 127}},
  };
  for (std::uint8_t chan = 0; chan < 16; ++chan)
    expected.push_back({at_last, {std::uint8_t(0xB0 | chan), 123, 0}});
  EXPECT_EQ(sink.timed, expected);

  ASSERT_EQ(samples.size(), 2 * (at_last + FrameAt(kRenderTailMs)));
  EXPECT_EQ(sink.frames, samples.size() / 2);
  // Each frame was rendered exactly once, in order.
  for (std::size_t frame : {std::size_t{0}, std::size_t(at_press), samples.size() / 2 - 1}) {
    EXPECT_EQ(samples[2 * frame], std::int16_t(frame % 30000)) << frame;
    EXPECT_EQ(samples[2 * frame + 1], std::int16_t(frame % 30000)) << frame;
  }

  // Without automatic bass nothing reaches channel 16 but its program and silencing.
  TimedSink plain;
  RenderRecording(plain, plain, events, {1297, 0, false});
  for (const Msg& m : plain.timed) {
    if ((m.second[0] & 0x0F) == 15) EXPECT_TRUE(m.second[0] == 0xCF || m.second[0] == 0xBF);
  }
  EXPECT_EQ(plain.timed[2], (Msg{at_press, {0x90, 72, 127}}));
}

}  // namespace
}  // namespace tonvale
