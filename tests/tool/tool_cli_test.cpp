#include <gtest/gtest.h>

#include <sstream>

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
  void Write(const std::string& name, const std::vector<PerformanceEvent>& events,
             std::int32_t mode = 1297, bool bass = false) {
    test::WriteAll(Path(name), *BuildQviBytes(events, mode, bass, kDate));
  }
  test::ScratchFolder folder;
};

TEST_F(ToolCli, InfoAndExport) {
  std::vector<PerformanceEvent> events = TwoEvents();
  events.push_back({4294967295u, 256, 0x002A0000, -1});
  Write("a.qvi", events, 1330, true);
  const test::ToolRun info = RunTool({"info", Path("a.qvi")}, folder.path());
  EXPECT_EQ(info.exit_code, 0);
  EXPECT_EQ(info.out,
            "events 3\nkey_mode 1330\nauto_bass 1\n1200 256 0x001e0001 0\n"
            "300 257 0xc01e0001 0\n4294967295 256 0x002a0000 -1\n");
  EXPECT_EQ(info.err, "");

  // The file's key mode and automatic bass are the defaults, program 0;
  // options may come before, between or after the operands.
  Write("bass.qvi", TwoEvents(), 1304, true);
  EXPECT_EQ(RunTool({"export", Path("bass.qvi"), Path("b.mid")}, folder.path()).exit_code, 0);
  EXPECT_EQ(test::ReadAll(Path("b.mid")), *BuildMidiBytes(TwoEvents(), 1304, 0, true));
  const test::ToolRun run = RunTool({"export", "--program", "19", Path("bass.qvi"), "--key-mode",
                                     "1313", Path("o.mid"), "--auto-bass", "0"},
                                    folder.path());
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out + run.err, "");
  EXPECT_EQ(test::ReadAll(Path("o.mid")), *BuildMidiBytes(TwoEvents(), 1313, 19, false));
  Write("plain.qvi", TwoEvents());
  RunTool({"export", Path("plain.qvi"), Path("p.mid"), "--auto-bass", "1"}, folder.path());
  EXPECT_EQ(test::ReadAll(Path("p.mid")), *BuildMidiBytes(TwoEvents(), 1297, 0, true));
}

TEST_F(ToolCli, BadFilesWriteFailuresAndWrongUsage) {
  Write("empty.qvi", {});
  test::WriteAll(Path("text.qvi"), test::Text("hello"));
  Write("good.qvi", TwoEvents());
  Write("long.qvi", {{0xFFFFFFFFu, 256, 0x001E0001, 0}});
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
  // One fault each ('' is an empty argument): usage, before any file is read.
  for (const char* line :
       {"", "play a.qvi", "info", "info a.qvi b", "info a.qvi --program 1", "export a.qvi",
        "export a.qvi b.mid c", "export a.qvi b.mid --key-mode",
        "export a.qvi b.mid --key-mode 1306", "export a.qvi b.mid --key-mode 1297x",
        "export a.qvi b.mid --key-mode ''", "export a.qvi b.mid --program 128",
        "export a.qvi b.mid --program -1", "export a.qvi b.mid --program 99999999999",
        "export a.qvi b.mid --auto-bass 2", "export a.qvi b.mid --auto-bass yes",
        "export a.qvi b.mid --soundfont x.sf2", "render a.qvi b.wav --volume 3"}) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;) args.push_back(word == "''" ? "" : word);
    const test::ToolRun run = RunTool(args, folder.path());
    EXPECT_EQ(run.exit_code, 2) << line;
    EXPECT_EQ(run.err.rfind("usage: tonvale-tool info FILE.qvi\n", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("x.mid")));
  EXPECT_FALSE(std::filesystem::exists(Path("x.wav")));
}

}  // namespace
}  // namespace tonvale
