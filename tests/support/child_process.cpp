#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace tonvale::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The program's path: as given when it has a slash, else the first
// executable of that name on PATH.
std::string FindProgram(const std::string& name, const Environment& env) {
  if (name.find('/') != std::string::npos) return name;
  const auto path = env.find("PATH");
  std::string dirs = path != env.end() ? path->second : "/usr/bin:/bin";
  for (std::size_t at = 0; at <= dirs.size();) {
    const std::size_t colon = std::min(dirs.find(':', at), dirs.size());
    const std::string candidate = dirs.substr(at, colon - at) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    at = colon + 1;
  }
  return name;
}

pid_t Spawn(const SpawnOptions& options) {
  if (options.args.empty()) return -1;
  // Everything the child needs is made before the fork: after it, only
  // calls that are safe in a child of a threaded process.
  const std::string program = FindProgram(options.args[0], options.env);
  std::vector<std::string> env_text;
  for (const auto& [name, value] : options.env) env_text.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& e : env_text) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<char*> argv;
  for (const auto& a : options.args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const char* log = options.log.empty() ? "/dev/null" : options.log.c_str();
  const pid_t parent = getpid();

  const pid_t pid = fork();
  if (pid != 0) return pid;
  // Ended with us, also when we are killed (a test that times out).
  if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) _exit(127);
  const int log_fd = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log_fd < 0 || dup2(log_fd, 1) < 0 || dup2(log_fd, 2) < 0) _exit(127);
  for (const auto& [ours, theirs] : options.fds) {
    // dup2 onto itself would keep close-on-exec.
    if (ours == theirs ? fcntl(ours, F_SETFD, 0) < 0 : dup2(ours, theirs) < 0) _exit(127);
  }
  execve(program.c_str(), argv.data(), envp.data());
  _exit(127);
}

}  // namespace

Environment CurrentEnvironment() {
  Environment env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const auto eq = entry.find('=');
    if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  return env;
}

Process::Process(const SpawnOptions& options) : pid_(Spawn(options)) {}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Stop();
    pid_ = std::exchange(other.pid_, -1);
    status_ = std::exchange(other.status_, {});
  }
  return *this;
}

std::optional<int> Process::Wait(std::chrono::milliseconds timeout) {
  if (status_ || pid_ <= 0) return status_;
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t got = waitpid(pid_, &status, WNOHANG);
    if (got == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return status_;
    }
    if (got < 0 && errno != EINTR) return status_ = -1;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(5ms);
  }
}

std::optional<int> Process::Stop(int signal, std::chrono::milliseconds grace) {
  if (pid_ <= 0) return std::nullopt;
  if (!status_) {
    kill(pid_, signal);
    if (!Wait(grace)) {
      kill(pid_, SIGKILL);
      Wait(5000ms);
    }
  }
  pid_ = -1;
  return std::exchange(status_, {});
}

RunResult RunToEnd(std::vector<std::string> args, const Environment& env,
                   std::chrono::milliseconds timeout, const std::filesystem::path& log) {
  RunResult result;
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return result;
  Process child(
      SpawnOptions{.args = std::move(args), .env = env, .log = log, .fds = {{out[1], 1}}});
  close(out[1]);
  const auto deadline = Clock::now() + timeout;
  char buffer[4096];
  while (child.pid() > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{out[0], POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
    const ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    result.out.append(buffer, static_cast<std::size_t>(n));
  }
  close(out[0]);
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  if (child.Wait(std::max(left, 0ms))) result.code = *child.Stop();
  return result;
}

ScratchDir::ScratchDir(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::uintmax_t FileSize(const std::filesystem::path& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace tonvale::test
