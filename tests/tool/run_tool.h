// Runs the real tonvale-tool and collects what it printed and its exit code.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tonvale::test {

struct ToolRun {
  int exit_code = -1;
  std::string out, err;
};

inline ToolRun RunTool(const std::vector<std::string>& args, const std::filesystem::path& scratch) {
  const std::filesystem::path paths[] = {scratch / "tool.out", scratch / "tool.err"};
  const pid_t child = ::fork();
  if (child == 0) {
    for (int fd : {1, 2})
      ::dup2(::open(paths[fd - 1].c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), fd);
    std::vector<char*> argv{const_cast<char*>(TONVALE_TOOL_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(TONVALE_TOOL_PATH, argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ToolRun run;
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  for (std::string* text : {&run.out, &run.err}) {
    const auto& path = paths[text == &run.err];
    std::stringstream read;
    read << std::ifstream(path, std::ios::binary).rdbuf();
    *text = read.str();
    std::filesystem::remove(path);
  }
  return run;
}

}  // namespace tonvale::test
