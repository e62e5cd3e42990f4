// Programs started by the integration tests and benchmarks (servers, dumps,
// xdotool, the program itself), each ended again by its own process id, and
// by the system should we die first.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tonvale::test {

using Environment = std::map<std::string, std::string>;

// This process's environment, as a map to change before handing it on.
Environment CurrentEnvironment();

struct SpawnOptions {
  std::vector<std::string> args;  // args[0] is looked up on PATH
  Environment env = CurrentEnvironment();
  // stdout and stderr go here (appended); empty: nowhere.
  std::filesystem::path log;
  // Our descriptor -> the child's descriptor number, e.g. a pipe's write end.
  std::vector<std::pair<int, int>> fds;
};

class Process {
 public:
  Process() = default;
  explicit Process(const SpawnOptions& options);  // check running() for success
  ~Process() { Stop(); }
  Process(Process&& other) noexcept
      : pid_(std::exchange(other.pid_, -1)), status_(std::exchange(other.status_, {})) {}
  Process& operator=(Process&& other) noexcept;

  pid_t pid() const { return pid_; }
  // Started and not yet reaped.
  bool running() { return pid_ > 0 && !Wait(std::chrono::milliseconds(0)); }
  // The exit code once it ends within `timeout` (a signal counts as 128 + its
  // number), or nothing while it still runs.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  // Sends `signal`, waits up to `grace`, then kills; returns how it ended.
  std::optional<int> Stop(int signal = SIGTERM,
                          std::chrono::milliseconds grace = std::chrono::milliseconds(5000));

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// Runs a program to its end and returns its exit code (-1 when it had to be
// killed) and standard output; its standard error goes to `log`.
struct RunResult {
  int code = -1;
  std::string out;
};
RunResult RunToEnd(std::vector<std::string> args, const Environment& env = CurrentEnvironment(),
                   std::chrono::milliseconds timeout = std::chrono::milliseconds(20000),
                   const std::filesystem::path& log = {});

// A private folder under /tmp, removed with everything in it.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix);
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::string ReadText(const std::filesystem::path& path);
// The file's size, 0 when it does not exist.
std::uintmax_t FileSize(const std::filesystem::path& path);

}  // namespace tonvale::test
