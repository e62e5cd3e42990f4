#include "servers.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace tonvale::test {
namespace {

using namespace std::chrono_literals;

bool SocketAnswers(const std::filesystem::path& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

}  // namespace

XServer::XServer(const std::filesystem::path& dir) : log_(dir / "xvfb.log") {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  process_ = Process({.args = {"Xvfb", "-displayfd", "9", "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp", "-noreset"},
                      .log = log_,
                      .fds = {{fds[1], 9}}});
  close(fds[1]);
  // Xvfb writes its display number there once it accepts connections.
  std::string number;
  pollfd ready{fds[0], POLLIN, 0};
  for (char c; poll(&ready, 1, 15000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n';) number += c;
  close(fds[0]);
  if (!number.empty()) display_ = ":" + number;
}

SoundServer::SoundServer(const std::filesystem::path& dir)
    : home_(dir / "pulse-home"), runtime_(dir / "pulse-run"), socket_(dir / "pulse.sock") {
  std::filesystem::create_directories(home_);
  std::filesystem::create_directories(runtime_);
  std::filesystem::permissions(runtime_, std::filesystem::perms::owner_all);
  Environment env = CurrentEnvironment();
  env["HOME"] = home_.string();
  env["XDG_RUNTIME_DIR"] = runtime_.string();
  env.erase("PULSE_SERVER");
  env.erase("DISPLAY");  // no X11 bell or session modules
  process_ = Process(SpawnOptions{
      .args = {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
               "--use-pid-file=no", "--realtime=yes", "--log-target=stderr", "-L",
               "module-null-sink sink_name=nullsink", "-L",
               "module-native-protocol-unix auth-anonymous=1 socket=" + socket_.string()},
      .env = env,
      .log = dir / "pulseaudio.log",
      .fds = {}});
  for (int i = 0; i < 300 && process_.running(); ++i) {
    if (SocketAnswers(socket_)) {
      ok_ = true;
      return;
    }
    std::this_thread::sleep_for(20ms);
  }
  error_ = "pulseaudio did not start: " + ReadText(dir / "pulseaudio.log");
  process_.Stop();
}

void SoundServer::AddTo(Environment& env) const {
  env["PULSE_SERVER"] = "unix:" + socket_.string();
  env["HOME"] = home_.string();
  env["XDG_RUNTIME_DIR"] = runtime_.string();
}

JackServer::JackServer() : name_("tonvale-test-" + std::to_string(getpid())) {
  setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
}

bool JackServer::Start(int period, const std::filesystem::path& dir) {
  log_ = dir / "jackd.log";
  // Synchronous, with a long client timeout: without real-time scheduling a
  // busy machine makes clients late, and the server then waits for them
  // rather than dropping the MIDI of the cycle they missed.
  process_ = Process({.args = {"jackd", "--no-realtime", "--sync", "-t", "5000", "-n", name_, "-d",
                               "dummy", "-r", "48000", "-p", std::to_string(period)},
                      .log = log_,
                      .fds = {}});
  return RunToEnd({"jack_wait", "-w", "-t", "10"}).code == 0;
}

}  // namespace tonvale::test
