#include "child_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

extern char** environ;

namespace tonvale::test {

Environment CurrentEnvironment() {
  Environment env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    if (const auto eq = entry.find('='); eq != std::string::npos) {
      env[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
  }
  return env;
}

Process::Process(const SpawnOptions& options) {
  // Everything the child needs is made before the fork: after it, only
  // calls that are safe in a child of a threaded process.
  std::vector<std::string> env_text;
  for (const auto& [name, value] : options.env) env_text.push_back(name + "=" + value);
  std::vector<char*> envp, argv;
  for (auto& e : env_text) envp.push_back(e.data());
  for (const auto& a : options.args) argv.push_back(const_cast<char*>(a.c_str()));
  envp.push_back(nullptr);
  argv.push_back(nullptr);
  const char* log = options.log.empty() ? "/dev/null" : options.log.c_str();
  const pid_t parent = getpid();
  if (argv[0] == nullptr || (pid_ = fork()) != 0) return;
  // Ended with us, also when we are killed (a test that times out).
  if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) _exit(127);
  const int log_fd = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log_fd < 0 || dup2(log_fd, 1) < 0 || dup2(log_fd, 2) < 0) _exit(127);
  for (const auto& [ours, theirs] : options.fds) {
    // dup2 onto itself would keep close-on-exec.
    if (ours == theirs ? fcntl(ours, F_SETFD, 0) < 0 : dup2(ours, theirs) < 0) _exit(127);
  }
  execvpe(argv[0], argv.data(), envp.data());
  _exit(127);
}

Process& Process::operator=(Process&& other) noexcept {
  Stop();
  pid_ = std::exchange(other.pid_, -1);
  status_ = std::exchange(other.status_, {});
  return *this;
}

std::optional<int> Process::Wait(std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (int status = 0; !status_ && pid_ > 0; std::this_thread::sleep_for(5ms)) {
    const pid_t got = waitpid(pid_, &status, WNOHANG);
    if (got == pid_) status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (got < 0 && errno != EINTR) status_ = -1;
    if (std::chrono::steady_clock::now() >= end) break;
  }
  return status_;
}

std::optional<int> Process::Stop(int signal, std::chrono::milliseconds grace) {
  if (pid_ <= 0) return std::nullopt;
  if (!status_ && (kill(pid_, signal) != 0 || !Wait(grace))) {
    kill(pid_, SIGKILL);
    Wait(5s);
  }
  pid_ = -1;
  return std::exchange(status_, {});
}

RunResult RunToEnd(std::vector<std::string> args, const Environment& env,
                   std::chrono::milliseconds timeout, const std::filesystem::path& log) {
  RunResult result;
  std::FILE* out = std::tmpfile();
  if (out == nullptr) return result;
  Process child({.args = std::move(args), .env = env, .log = log, .fds = {{fileno(out), 1}}});
  if (child.Wait(timeout)) result.code = *child.Stop();
  std::rewind(out);
  for (int c; (c = std::fgetc(out)) != EOF;) result.out.push_back(static_cast<char>(c));
  std::fclose(out);
  return result;
}

ScratchDir::ScratchDir(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

std::string ReadText(const std::filesystem::path& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

std::uintmax_t FileSize(const std::filesystem::path& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

}  // namespace tonvale::test
