// tonvale-tool's command line and commands, run in-process with the real
// synthesizer.
#include "tool/tool_commands.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "devices/soundfont_search.h"
#include "files_fixture.h"
#include "sound_analysis.h"

namespace tonvale {
namespace {

// In the scratch folder, so that names stand for paths.
class Tool : public ::testing::Test {
 protected:
  Tool() : home(std::filesystem::current_path()) { std::filesystem::current_path(folder.path); }
  ~Tool() override { std::filesystem::current_path(home); }
  // Runs a command line; returns what it printed.
  std::string Run(const std::string& line, int expected_exit) {
    std::istringstream in(line);
    const std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
    const std::vector<std::string_view> args(words.begin(), words.end());
    const std::optional<ToolOptions> options = ParseToolArguments(args);
    std::ostringstream out;
    EXPECT_EQ(options ? RunTool(*options, out, out) : kToolUsageError, expected_exit) << line;
    return out.str();
  }
  void Write(const char* name, const std::vector<PerformanceEvent>& events, bool bass = false) {
    test::WriteAll(name, *BuildQviBytes(events, 1304, bass, test::kDate));
  }
  test::ScratchFolder folder;
  std::filesystem::path home;
};

TEST_F(Tool, InfoAndExportTakeTheFilesSettingsUnlessTold) {
  Write("a.qvi", {{4294967295u, 257, 0xC02A0000, -1}}, true);
  EXPECT_EQ(Run("info a.qvi", 0),
            "events 1\nkey_mode 1304\nauto_bass 1\n4294967295 257 0xc02a0000 -1\n");
  // Key A pressed at 1200 ms and released 300 ms later, in a file of mode
  // 1304 (1=#F, six above C major) with the bass on.
  Write("n.qvi", test::kTwoEvents, true);
  EXPECT_EQ(Run("export n.qvi a.mid", 0), "");
  EXPECT_EQ(test::Str(test::ReadAll("a.mid")),
            "MThd\0\0\0\6\0\1\0\2\0\xC0MTrk\0\0\0\x20\0\xFF\x51\3\x0B\x96\xC6\0\xC0\0"
            "\x82\x2F\x90\x42\x7F\x4B\x80\x42\x7F\x83\x0F\x90\1\0\0\x80\1\0\0\xFF\x2F\0"
            "MTrk\0\0\0\x17\0\xFF\x51\3\x0B\x96\xC6\0\xCF\0\x82\x2F\x9F\x36\x7F\x4B\x8F\x36\x7F"
            "\0\xFF\x2F\0"sv);
  // Told: mode 1313 (1=bE, three above), program 19, no bass.
  Run("export --program 19 n.qvi --key-mode 1313 b.mid --auto-bass 0", 0);
  EXPECT_EQ(test::Str(test::ReadAll("b.mid")),
            "MThd\0\0\0\6\0\0\0\1\0\xC0MTrk\0\0\0\x20\0\xFF\x51\3\x0B\x96\xC6\0\xC0\x13"
            "\x82\x2F\x90\x3F\x7F\x4B\x80\x3F\x7F\x83\x0F\x90\1\0\0\x80\1\0\0\xFF\x2F\0"sv);
  for (const char* usage :
       {"", "play a b", "export a", "export a b --key-mode 1306", "export a b --program 128",
        "export a b --rate 48000", "render a b --rate 7999", "render a b --rate 96001"})
    Run(usage, kToolUsageError);
}

TEST_F(Tool, BadFilesAndRendersTooLongForAWavFileFailWritingNothing) {
  Write("empty.qvi", {});
  Write("a.qvi", test::kTwoEvents);
  test::WriteAll("bad.sf2", "not a soundfont"sv);
  // 6 h 45 min 49 s of sound, the tail included: a little too long. Then
  // 2^64 frames and a few more, which a 64-bit product would wrap to 25.
  Write("long.qvi", {{24347500, 256, 0x1E0001, 0}});
  std::vector<PerformanceEvent> wrap(97392, {0xFFFFFFFFu, 256, 0x1E0001, 0});
  wrap.back().delta_ms = 2356583303u;
  Write("wrap.qvi", wrap);
  const std::string too_long =
      ": it would sound longer than the 405 minutes a WAV file can hold; x.wav is not written.\n";
  const std::pair<std::string, std::string> cases[] = {
      {"info empty.qvi", "文件empty.qvi不是被支持的Tonvale文件.\n"},
      {"render none.qvi x.wav", "不能找到或打开文件none.qvi.\n"},
      {"export a.qvi none/x.mid", "不能创建文件none/x.mid.\n"},
      {"render a.qvi x.wav --soundfont bad.sf2", "Cannot load the soundfont bad.sf2.\n"},
      // Refused before any work, the soundfont not even looked at.
      {"render long.qvi x.wav --soundfont bad.sf2", "Cannot render long.qvi" + too_long},
      {"render wrap.qvi x.wav", "Cannot render wrap.qvi" + too_long}};
  for (const auto& [line, message] : cases) EXPECT_EQ(Run(line, 1), message);
  EXPECT_EQ(folder.Count(), 5u);
}

TEST_F(Tool, SongsAnswerTheFourCommandsAndABadSongFailsWithTheWindowsMessage) {
  test::WriteAll("a.txt", "title=练习\n1=D 4/4 4=120\n5, 1 2 3 | 4 - 3 - |\n"sv);
  test::WriteAll("bad.txt", "1=D\n1 2 135\n"sv);
  Write("take.qvi", {{10, 256, 0x1E0001, 1}, {10, 257, 0xC01E0001, 1}, {10, 256, 0x100001, 0}});

  EXPECT_EQ(Run("keys a.txt", 0), "i a s d | f d\n");
  EXPECT_EQ(Run("keys take.qvi", 0), "Shift+a q\n");  // a recording read as a song
  EXPECT_EQ(Run("info a.txt", 0),
            "title 练习\nkey 1=D\ntime 4/4\ntempo 120\nnotes 6\nbars 2\nseconds 4.0\n");
  // The song's own key (1=D) and program 0; then told: C major, program 19
  // and the bass an octave lower on channel 16. Notes 5, 1 2 3 | 4 - 3 -.
  EXPECT_EQ(Run("export a.txt a.mid", 0), "");
  EXPECT_EQ(test::Str(test::ReadAll("a.mid")),
            "MThd\0\0\0\6\0\0\0\1\0\xC0MTrk\0\0\0\x44\0\xFF\x51\3\7\xA1\x20\0\xC0\0"
            "\0\x90\x39\x7F\x81\x40\x80\x39\x7F\0\x90\x3E\x7F\x81\x40\x80\x3E\x7F"
            "\0\x90\x40\x7F\x81\x40\x80\x40\x7F\0\x90\x42\x7F\x81\x40\x80\x42\x7F"
            "\0\x90\x43\x7F\x83\0\x80\x43\x7F\0\x90\x42\x7F\x83\0\x80\x42\x7F\0\xFF\x2F\0"sv);
  Run("export a.txt b.mid --program 19 --key-mode 1297 --auto-bass 1", 0);
  EXPECT_EQ(test::Str(test::ReadAll("b.mid")),
            "MThd\0\0\0\6\0\1\0\2\0\xC0MTrk\0\0\0\x44\0\xFF\x51\3\7\xA1\x20\0\xC0\x13"
            "\0\x90\x37\x7F\x81\x40\x80\x37\x7F\0\x90\x3C\x7F\x81\x40\x80\x3C\x7F"
            "\0\x90\x3E\x7F\x81\x40\x80\x3E\x7F\0\x90\x40\x7F\x81\x40\x80\x40\x7F"
            "\0\x90\x41\x7F\x83\0\x80\x41\x7F\0\x90\x40\x7F\x83\0\x80\x40\x7F\0\xFF\x2F\0"
            "MTrk\0\0\0\x44\0\xFF\x51\3\7\xA1\x20\0\xCF\x13"
            "\0\x9F\x2B\x7F\x81\x40\x8F\x2B\x7F\0\x9F\x30\x7F\x81\x40\x8F\x30\x7F"
            "\0\x9F\x32\x7F\x81\x40\x8F\x32\x7F\0\x9F\x34\x7F\x81\x40\x8F\x34\x7F"
            "\0\x9F\x35\x7F\x83\0\x8F\x35\x7F\0\x9F\x34\x7F\x83\0\x8F\x34\x7F\0\xFF\x2F\0"sv);
  EXPECT_EQ(Run("keys bad.txt", 1),
            "歌曲bad.txt第2行的“135”：一个词里有两个音（和弦），只能练单旋律.\n");
  EXPECT_EQ(Run("export bad.txt c.mid", 1), Run("info bad.txt", 1));
  EXPECT_EQ(Run("info none.txt", 1), "不能找到或打开文件none.txt.\n");
  for (const char* usage : {"keys", "keys a.txt b.txt", "keys a.txt --program 3", "info a.txt x"})
    Run(usage, kToolUsageError);
  EXPECT_FALSE(std::filesystem::exists("c.mid"));
  // The first press waits 5 ms, as any quicker event does; the last release
  // comes 10 ms before the written end at 4 s; then the 1.6 s tail.
  ASSERT_TRUE(FindSoundfont(SoundfontCandidates())) << "no General MIDI soundfont";
  Run("render a.txt a.wav --program 80", 0);
  const std::string wav = test::Str(test::ReadAll("a.wav"));
  EXPECT_EQ(wav.size(), 44 + 4 * (176179 + 70560));
  EXPECT_EQ(wav.substr(24, 4), "\x44\xAC\0\0"sv);  // 44.1 kHz unless told
}

// At the rate asked the header says it and the synthesizer plays at it: a
// mismatch would put every note out of tune.
TEST_F(Tool, RenderPlaysTheRecordingThroughTheSynthesizerAtTheRateAsked) {
  // scripts/install-deps installs one: without it this test has nothing to
  // play through, and passing then would say nothing.
  ASSERT_TRUE(FindSoundfont(SoundfontCandidates()))
      << "no General MIDI soundfont (timgm6mb-soundfont, or TONVALE_SOUNDFONT)";
  Write("a.qvi", {{200, 256, 0x1E0001, 0}, {800, 257, 0xC01E0001, 0}});
  Run("render a.qvi a.wav --program 80 --key-mode 1297 --rate 22050", 0);
  const test::Blob wav = test::ReadAll("a.wav");
  ASSERT_EQ(wav.size(), 44 + 4 * (22050 + 35280));  // 1 s and the 1.6 s tail
  const auto u32 = [&](std::size_t at) {
    return wav[at] | wav[at + 1] << 8 | wav[at + 2] << 16 | std::uint32_t(wav[at + 3]) << 24;
  };
  EXPECT_EQ(u32(24), 22050u);
  EXPECT_EQ(u32(28), 22050u * 4);
  const auto sample = [&](std::size_t at) { return std::int16_t(wav[at] | wav[at + 1] << 8); };
  int before = 0;  // silence, dither at most, until 10 ms before the press
  for (std::size_t at = 44; at < 44 + 4 * 4189; at += 2)
    before = std::max(before, std::abs(int(sample(at))));
  EXPECT_LE(before, 2);
  std::vector<float> held;  // 0.3 s to 0.8 s, while the key is held; mono
  for (std::size_t at = 44 + 4 * 6615; at < 44 + 4 * 17640; at += 4)
    held.push_back((sample(at) + sample(at + 2)) / 65536.0f);
  EXPECT_NEAR(test::Fundamental(held, 22050, 60, 2000), 261.63, 2.6);  // middle C
}

}  // namespace
}  // namespace tonvale
