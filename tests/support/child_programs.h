// Child programs of the integration tests (servers, dumps, xdotool, the
// program itself): started with their output in a log, ended by their own
// process id.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace tonvale::test {

// Starts `args` (args[0] looked up on PATH) with stdout and stderr going to
// `log`; -1 when it failed.
pid_t Spawn(const std::vector<std::string>& args, const std::filesystem::path& log);
// The exit code (a signal counts as 128 + its number), or -1 when it did not
// end by itself within `limit`.
int WaitExit(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(20));
// Sends `signal`, then SIGKILL after `grace`; sets `pid` to -1.
void Stop(pid_t& pid, std::chrono::milliseconds grace = std::chrono::seconds(5),
          int signal = SIGTERM);
std::string ReadAll(const std::filesystem::path& path);

}  // namespace tonvale::test
