#include <gtest/gtest.h>

#include "files/midi_export.h"
#include "files/qvi_file.h"
#include "files_fixture.h"
#include "run_tool.h"

namespace tonvale {
namespace {

using test::kDate;
using test::RunTool;
using test::TwoEvents;

class ToolCli : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return (folder / name).string(); }
  void WriteRecording(const std::string& name, const std::vector<PerformanceEvent>& events,
                      std::int32_t mode, bool bass) {
    test::WriteAll(Path(name), *BuildQviBytes(events, mode, bass, kDate));
  }
  test::ScratchFolder folder;
};

TEST_F(ToolCli, InfoPrintsHeaderAndOneLinePerEvent) {
  std::vector<PerformanceEvent> events = TwoEvents();
  events.push_back({4294967295u, 256, 0x002A0000, -1});
  WriteRecording("a.qvi", events, 1330, true);
  const test::ToolRun run = RunTool({"info", Path("a.qvi")}, folder.path());
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out,
            "events 3\n"
            "key_mode 1330\n"
            "auto_bass 1\n"
            "1200 256 0x001e0001 0\n"
            "300 257 0xc01e0001 0\n"
            "4294967295 256 0x002a0000 -1\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(ToolCli, ExportWritesWhatTheWindowWould) {
  WriteRecording("plain.qvi", TwoEvents(), 1297, false);
  WriteRecording("bass.qvi", TwoEvents(), 1304, true);

  EXPECT_EQ(RunTool({"export", Path("plain.qvi"), Path("p.mid")}, folder.path()).exit_code, 0);
  EXPECT_EQ(test::ReadAll(Path("p.mid")), *BuildMidiBytes(TwoEvents(), 1297, 0, false));
  // The file's key mode and automatic bass are the defaults.
  EXPECT_EQ(RunTool({"export", Path("bass.qvi"), Path("b.mid")}, folder.path()).exit_code, 0);
  EXPECT_EQ(test::ReadAll(Path("b.mid")), *BuildMidiBytes(TwoEvents(), 1304, 0, true));
  // Overrides.
  const test::ToolRun run = RunTool({"export", Path("bass.qvi"), Path("o.mid"), "--key-mode",
                                     "1313", "--program", "19", "--auto-bass", "0"},
                                    folder.path());
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out + run.err, "");
  EXPECT_EQ(test::ReadAll(Path("o.mid")), *BuildMidiBytes(TwoEvents(), 1313, 19, false));
}

TEST_F(ToolCli, BadFilesAndWriteFailuresExitWithTheMessage) {
  WriteRecording("empty.qvi", {}, 1297, false);
  test::WriteAll(Path("text.qvi"), test::Text("hello"));
  WriteRecording("good.qvi", TwoEvents(), 1297, false);
  WriteRecording("long.qvi", {{0xFFFFFFFFu, 256, 0x001E0001, 0}}, 1297, false);

  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"info", Path("empty.qvi")}, "文件" + Path("empty.qvi") + "不是被支持的Tonvale文件.\n"},
      {{"export", Path("text.qvi"), Path("x.mid")},
       "文件" + Path("text.qvi") + "不是标准的Tonvale文件.\n"},
      {{"render", Path("missing.qvi"), Path("x.wav")},
       "不能找到或打开文件" + Path("missing.qvi") + ".\n"},
      {{"export", Path("good.qvi"), Path("none/x.mid")},
       "不能创建文件" + Path("none/x.mid") + ".\n"},
      // Twelve days of silence do not fit a WAV file.
      {{"render", Path("long.qvi"), Path("x.wav")}, "不能写入文件" + Path("x.wav") + ".\n"},
  };
  for (const auto& c : cases) {
    const test::ToolRun run = RunTool(c.args, folder.path());
    EXPECT_EQ(run.exit_code, 1) << c.message;
    EXPECT_EQ(run.err, c.message);
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.mid")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.wav")));
}

TEST_F(ToolCli, WrongUsagePrintsUsage) {
  WriteRecording("good.qvi", TwoEvents(), 1297, false);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{},
        {"info"},
        {"frobnicate", Path("good.qvi")},
        {"export", Path("good.qvi"), Path("x.mid"), "--program", "300"},
        {"export", Path("good.qvi"), Path("x.mid"), "--key-mode", "1311"}}) {
    const test::ToolRun run = RunTool(args, folder.path());
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.err.rfind("usage: tonvale-tool", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.mid")));
}

}  // namespace
}  // namespace tonvale
