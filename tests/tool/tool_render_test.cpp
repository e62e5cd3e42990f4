// The real synthesizer behind tonvale-tool render.
#include <gtest/gtest.h>

#include <cmath>

#include "devices/soundfont_search.h"
#include "files/qvi_file.h"
#include "files/riff.h"
#include "files_fixture.h"
#include "run_tool.h"
#include "tool/render_plan.h"

namespace tonvale {
namespace {

using test::kDate;

// Energy of the left channel at `hz`.
double Goertzel(const std::vector<std::int16_t>& stereo, std::size_t first, std::size_t count,
                double hz) {
  const double coeff = 2.0 * std::cos(2.0 * M_PI * hz / kRenderRate);
  double s1 = 0, s2 = 0;
  for (std::size_t i = first; i < first + count; ++i) {
    const double s0 = stereo[2 * i] + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

TEST(ToolRender, RendersAWavOfTheExpectedLengthAndPitchButNotWithABadSoundfont) {
  test::ScratchFolder folder;
  // Key A (note 60 in C major) pressed after 500 ms and held 800 ms; the
  // second press comes 2 ms after the first: it plays 5 ms later.
  const std::vector<PerformanceEvent> events = {
      {500, 256, 0x001E0001, 0}, {800, 257, 0xC01E0001, 0}, {2, 256, 0x001F0001, 0}};
  test::WriteAll(folder / "a.qvi", *BuildQviBytes(events, 1297, false, kDate));
  // A soundfont that cannot be loaded fails and writes nothing.
  test::WriteAll(folder / "bad.sf2", test::Text("not a soundfont"));
  const test::ToolRun bad =
      test::RunTool({"render", (folder / "a.qvi").string(), (folder / "b.wav").string(),
                     "--soundfont", (folder / "bad.sf2").string()},
                    folder.path());
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_NE(bad.err.find("soundfont"), std::string::npos) << bad.err;
  EXPECT_FALSE(std::filesystem::exists(folder / "b.wav"));

  if (!FindSoundfont(SoundfontCandidates())) GTEST_SKIP() << "no General MIDI soundfont";
  const test::ToolRun run = test::RunTool(
      {"render", (folder / "a.qvi").string(), (folder / "a.wav").string(), "--program", "80"},
      folder.path());
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const test::Blob wav = test::ReadAll(folder / "a.wav");

  // 44.1 kHz, 16-bit PCM stereo.
  const std::uint64_t frames = FrameAt(500 + 800 + 5) + FrameAt(kRenderTailMs);
  ASSERT_EQ(wav.size(), 44 + 4 * frames);
  test::Blob header = test::Text("RIFF");
  riff::AppendU32(header, std::uint32_t(36 + 4 * frames));
  test::Append(header, test::Text("WAVEfmt "));
  riff::AppendU32(header, 16);
  test::Append(header, test::Bytes({1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0}));
  test::Append(header, test::Text("data"));
  riff::AppendU32(header, std::uint32_t(4 * frames));
  EXPECT_EQ(test::Blob(wav.begin(), wav.begin() + 44), header);

  std::vector<std::int16_t> stereo((wav.size() - 44) / 2);
  for (std::size_t i = 0; i < stereo.size(); ++i)
    stereo[i] = static_cast<std::int16_t>(wav[44 + 2 * i] | wav[45 + 2 * i] << 8);
  // Silence until the press, sound after it.
  int peak_before = 0, peak_after = 0;
  for (std::size_t f = 0; f < FrameAt(490); ++f)
    peak_before = std::max(peak_before, std::abs(int(stereo[2 * f])));
  for (std::size_t f = FrameAt(600); f < FrameAt(1200); ++f)
    peak_after = std::max(peak_after, std::abs(int(stereo[2 * f])));
  EXPECT_LE(peak_before, 2);  // dither only
  EXPECT_GT(peak_after, 1000);
  // The note held is middle C: of the notes around it, 60 is the strongest.
  int best = 0;
  double best_energy = -1;
  for (int note = 48; note <= 72; ++note) {
    const double e =
        Goertzel(stereo, FrameAt(700), FrameAt(400), 440.0 * std::pow(2.0, (note - 69) / 12.0));
    if (e > best_energy) std::tie(best_energy, best) = std::pair(e, note);
  }
  EXPECT_EQ(best, 60);
}

}  // namespace
}  // namespace tonvale
