// Programs started by the integration tests and benchmarks, each ended by
// its own process id, and by the system should the test die first.
#pragma once

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tonvale::test {

using namespace std::chrono_literals;
using Environment = std::map<std::string, std::string>;
Environment CurrentEnvironment();

struct SpawnOptions {
  std::vector<std::string> args;  // args[0] is looked up on PATH
  Environment env = CurrentEnvironment();
  std::filesystem::path log = {};             // stdout and stderr, appended; empty: nowhere
  std::vector<std::pair<int, int>> fds = {};  // our descriptor -> the child's number
};

class Process {
 public:
  Process() = default;
  explicit Process(const SpawnOptions& options);  // check running()
  Process(Process&& other) noexcept { *this = std::move(other); }
  Process& operator=(Process&& other) noexcept;
  ~Process() { Stop(); }
  int pid() const { return pid_; }
  bool running() { return pid_ > 0 && !Wait(0ms); }
  // The exit code (128 + the signal when killed) once it ends within `timeout`.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  // Sends `signal`, kills after `grace`; returns how it ended.
  std::optional<int> Stop(int signal = SIGTERM, std::chrono::milliseconds grace = 5s);

 private:
  int pid_ = -1;
  std::optional<int> status_;
};

// Runs a program to its end: its exit code (-1 when it had to be killed) and
// standard output; standard error goes to `log`.
struct RunResult {
  int code = -1;
  std::string out;
};
RunResult RunToEnd(std::vector<std::string> args, const Environment& env = CurrentEnvironment(),
                   std::chrono::milliseconds timeout = 20s, const std::filesystem::path& log = {});

// A private folder under /tmp, removed with everything in it.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix);
  ~ScratchDir() { std::filesystem::remove_all(path_, ignored_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::error_code ignored_;
};

std::string ReadText(const std::filesystem::path& path);
std::uintmax_t FileSize(const std::filesystem::path& path);  // 0 when missing

}  // namespace tonvale::test
