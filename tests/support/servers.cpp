#include "servers.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
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

RunResult Xdotool(std::vector<std::string> args, const Environment& env,
                  const std::filesystem::path& log) {
  args.insert(args.begin(), "xdotool");
  const std::uintmax_t before = FileSize(log);
  RunResult result = RunToEnd(std::move(args), env, 25s, log);
  const std::string said = ReadText(log).substr(before);
  if (result.code == 0 && said.find("No such key name") != std::string::npos) {
    result.code = 1;
    result.out = said;
  }
  return result;
}

SoundServer::Kind SoundServer::Installed() {
  return RunToEnd({"sh", "-c", "command -v pipewire-pulse"}).code == 0 ? Kind::kPipeWire
                                                                       : Kind::kPulseAudio;
}

SoundServer::SoundServer(const std::filesystem::path& dir, Kind kind, std::vector<std::string> user)
    : dir_(dir), pipewire_(kind == Kind::kPipeWire) {
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
  Environment env = CurrentEnvironment();
  AddTo(env);
  env.erase("PULSE_SERVER");
  env.erase("PIPEWIRE_REMOTE");
  const auto as_user = [&](std::vector<std::string> args) {
    args.insert(args.begin(), user.begin(), user.end());
    return args;
  };
  const auto start = [&](std::vector<std::string> args, const std::string& log) {
    processes_.emplace_back(SpawnOptions{as_user(std::move(args)), env, dir / log, {}});
  };
  const auto up = [](const std::filesystem::path& socket) {
    for (int i = 0; i < 500 && !SocketAnswers(socket); ++i) std::this_thread::sleep_for(20ms);
    return SocketAnswers(socket);
  };
  // pipewire-pulse answers a moment before it can reach pipewire.
  const auto pactl = [&](std::vector<std::string> args) {
    args.insert(args.begin(), "pactl");
    int code = -1;
    for (int i = 0; i < 50 && (code = RunToEnd(as_user(args), env, 5s, dir / "pactl.log").code);
         ++i) {
      std::this_thread::sleep_for(100ms);
    }
    return code == 0;
  };
  if (pipewire_) {
    start({"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + (dir / "bus").string()},
          "dbus.log");
    up(dir / "bus");
    start({"pipewire"}, "pipewire.log");
    up(dir / "pipewire-0");  // the others connect to it at once
    // No Bluetooth in a test session: its monitor needs logind, and where
    // logind's folders are missing (a container, a chroot) WirePlumber quits.
    const auto bluetooth = dir / ".config/wireplumber/bluetooth.lua.d";
    std::filesystem::create_directories(bluetooth);
    std::ofstream(bluetooth / "80-tests.lua") << "bluez_monitor.enabled = false\n";
    start({"wireplumber"}, "wireplumber.log");
    start({"pipewire-pulse"}, "pipewire-pulse.log");
  } else {
    start({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "-L",
           "module-null-sink sink_name=nullsink", "-L", "module-native-protocol-unix"},
          "pulseaudio.log");
  }
  if (!up(dir / "pulse/native") ||
      (pipewire_ && !(pactl({"load-module", "module-null-sink", "sink_name=nullsink"}) &&
                      pactl({"set-default-sink", "nullsink"})))) {
    error_ = "the sound server did not start: " + ReadText(dir / "pactl.log") +
             ReadText(dir / (pipewire_ ? "pipewire-pulse.log" : "pulseaudio.log"));
  }
}

SoundServer::~SoundServer() {
  while (!processes_.empty()) processes_.pop_back();  // the last started stops first
}

void SoundServer::AddTo(Environment& env) const {
  env["HOME"] = dir_.string();
  env["XDG_RUNTIME_DIR"] = dir_.string();
  env["XDG_CONFIG_HOME"] = (dir_ / ".config").string();
  if (pipewire_) env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + (dir_ / "bus").string();
}

DesktopUser AsDesktopUser(const std::filesystem::path& dir) {
  if (geteuid() != 0) return {};
  const passwd* nobody = getpwnam("nobody");
  if (nobody == nullptr || nobody->pw_uid == 0) return {{}, "there is no user nobody"};
  const std::string uid = std::to_string(nobody->pw_uid);
  if (chown(dir.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
    return {{}, "cannot give " + dir.string() + " to nobody: " + std::strerror(errno)};
  DesktopUser user{{"setpriv", "--reuid=" + uid, "--regid=" + std::to_string(nobody->pw_gid),
                    "--clear-groups", "--pdeathsig=SIGTERM", "--"},
                   {}};
  std::vector<std::string> id = user.words;
  id.insert(id.end(), {"id", "-u"});
  const std::filesystem::path log = dir / "desktop-user.log";
  if (const RunResult run = RunToEnd(id, CurrentEnvironment(), 20s, log); run.out != uid + "\n")
    user.error = "cannot run a command as nobody (" + uid + "): id -u said \"" + run.out + "\", " +
                 ReadText(log);
  return user;
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
