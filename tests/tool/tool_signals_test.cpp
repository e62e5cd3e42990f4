// The real tonvale-tool stopped by a signal in the middle of a render, and
// the temporary file a killed one leaves, swept by the next write.
#include <gtest/gtest.h>

#include <thread>

#include "child_process.h"
#include "files_fixture.h"

namespace tonvale {
namespace {

namespace fs = std::filesystem;

// The hidden temporary files in `folder` that hold something.
std::vector<fs::path> Temporaries(const fs::path& folder) {
  std::vector<fs::path> found;
  for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.starts_with(".tonvale-") && e.file_size() > 0) found.push_back(e.path());
  }
  return found;
}

TEST(ToolSignals, ARenderStoppedMidWayLeavesNoTemporaryFileBehind) {
  test::ScratchFolder folder;
  const fs::path input = folder / "long.qvi", output = folder / "out.wav";
  // Twenty minutes of sound, 200 MB of WAV: long enough to be stopped.
  const PerformanceEvent late{1200000, 256, 0x1E0001, 0};
  test::WriteAll(input, *BuildQviBytes({&late, 1}, 1297, false, test::kDate));
  test::Environment env = test::CurrentEnvironment();
  env["XDG_STATE_HOME"] = folder / "state";
  const auto render = [&](const fs::path& log) {
    test::Process tool({.args = {TONVALE_TOOL, "render", input, output}, .env = env, .log = log});
    for (int i = 0; i < 400 && Temporaries(folder.path).empty(); ++i)
      std::this_thread::sleep_for(50ms);
    EXPECT_EQ(Temporaries(folder.path).size(), 1u) << test::ReadText(log);
    return tool;
  };
  for (const int signal : {SIGINT, SIGTERM}) {
    test::WriteAll(output, "old"sv);
    const fs::path log = folder / ("tool-" + std::to_string(signal) + ".log");
    test::Process tool = render(log);
    EXPECT_EQ(tool.Stop(signal, 20s), 128 + signal);
    EXPECT_EQ(test::ReadText(log), "Interrupted: " + output.string() + " is not written.\n");
    EXPECT_EQ(Temporaries(folder.path).size(), 0u);
    EXPECT_EQ(test::ReadText(output), "old");
  }
  // A render killed outright leaves its temporary file; once it is old, the
  // next write into the folder removes it, its owner being gone.
  test::Process killed = render(folder / "killed.log");
  EXPECT_EQ(killed.Stop(SIGKILL), 128 + SIGKILL);
  const std::vector<fs::path> left = Temporaries(folder.path);
  ASSERT_EQ(left.size(), 1u);
  fs::last_write_time(left[0], fs::file_time_type::clock::now() - 1h);
  EXPECT_EQ(test::RunToEnd({TONVALE_TOOL, "export", input, folder / "out.mid"}, env).code, 0);
  EXPECT_FALSE(fs::exists(left[0]));
}

}  // namespace
}  // namespace tonvale
