// The program's command line answered without a window or a display.
#include <gtest/gtest.h>

#include <regex>

#include "child_process.h"

namespace tonvale::test {
namespace {

TEST(CommandLine, HelpVersionAndWrongOptionsNeedNoDisplay) {
  ScratchDir dir("tonvale-cli");
  Environment env = CurrentEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.erase(name);
  const RunResult version = RunToEnd({TONVALE_PROGRAM, "--version"}, env);
  EXPECT_EQ(version.code, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("tonvale [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << version.out;
  const RunResult help = RunToEnd({TONVALE_PROGRAM, "--help"}, env);
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("Usage: tonvale [--latency MS] [FILE.qvi]\n", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("\n  --latency MS "), std::string::npos) << help.out;

  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{{"--bogus"},
                                             {"--latency"},
                                             {"--latency", "fast"},
                                             {"--latency=0"},
                                             {"--latency", "1e3"}}) {
    std::vector<std::string> args{TONVALE_PROGRAM};
    args.insert(args.end(), wrong.begin(), wrong.end());
    const auto log = dir.path() / "stderr.log";
    std::filesystem::remove(log);
    const RunResult run = RunToEnd(args, env, std::chrono::seconds(20), log);
    EXPECT_EQ(run.code, 2) << wrong[0];
    EXPECT_EQ(run.out, "");
    EXPECT_NE(ReadText(log).find("\nUsage: tonvale "), std::string::npos) << ReadText(log);
  }
}

}  // namespace
}  // namespace tonvale::test
