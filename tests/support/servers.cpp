#include "servers.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <regex>
#include <sstream>
#include <thread>

namespace tonvale::test {
namespace {

using namespace std::chrono_literals;

// The descriptor Xvfb writes its display number to.
constexpr int kDisplayFd = 9;

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

XServer::XServer(const std::filesystem::path& dir) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    error_ = "no pipe";
    return;
  }
  process_ =
      Process(SpawnOptions{.args = {"Xvfb", "-displayfd", std::to_string(kDisplayFd), "-screen",
                                    "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"},
                           .log = dir / "xvfb.log",
                           .fds = {{pipe_fds[1], kDisplayFd}}});
  close(pipe_fds[1]);
  std::string number;
  // Xvfb writes the number once it accepts connections.
  for (pollfd p{pipe_fds[0], POLLIN, 0}; poll(&p, 1, 15000) > 0;) {
    char c = 0;
    if (read(pipe_fds[0], &c, 1) != 1 || c == '\n') break;
    number.push_back(c);
  }
  close(pipe_fds[0]);
  if (number.empty() || !process_.running()) {
    error_ = "Xvfb did not start: " + ReadText(dir / "xvfb.log");
    process_.Stop();
    return;
  }
  display_ = ":" + number;
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
  if (pipewire_) env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + (dir_ / "bus").string();
}

std::vector<std::string> AsDesktopUser(const std::filesystem::path& dir) {
  if (geteuid() != 0) return {};
  const passwd* nobody = getpwnam("nobody");
  if (nobody == nullptr || chown(dir.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return {};
  return {"setpriv",
          "--reuid=" + std::to_string(nobody->pw_uid),
          "--regid=" + std::to_string(nobody->pw_gid),
          "--clear-groups",
          "--pdeathsig=SIGTERM",
          "--"};
}

JackServer::JackServer() : name_("tonvale-test-" + std::to_string(getpid())) {
  setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
}

bool JackServer::Start(int period, const std::filesystem::path& dir) {
  process_ = Process(SpawnOptions{.args = {"jackd", "--no-realtime", "-n", name_, "-d", "dummy",
                                           "-r", "48000", "-p", std::to_string(period)},
                                  .log = dir / "jackd.log",
                                  .fds = {}});
  if (RunToEnd({"jack_wait", "-w", "-t", "10"}).code == 0) return true;
  error_ = "jackd did not answer: " + ReadText(dir / "jackd.log");
  Stop();
  return false;
}

std::vector<Dumped> DumpedEvents(const std::string& dump) {
  static const std::regex kLine(R"(^\s*(\d+):\s+((?:[0-9a-f]{2} ?)+))", std::regex::icase);
  std::vector<Dumped> out;
  std::istringstream lines(dump);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, kLine)) continue;
    std::string bytes = m[2];
    while (!bytes.empty() && bytes.back() == ' ') bytes.pop_back();
    out.push_back({std::stoull(m[1]), bytes});
  }
  return out;
}

std::vector<std::string> BytesOf(const std::vector<Dumped>& events) {
  std::vector<std::string> out;
  for (const Dumped& d : events) out.push_back(d.bytes);
  return out;
}

bool MidiDump::Start(const std::filesystem::path& dir) {
  log_ = dir / "dump.log";
  // Line-buffered, so that each message shows up as it comes.
  process_ = Process(
      SpawnOptions{.args = {"stdbuf", "-oL", "jack_midi_dump", "-a"}, .log = log_, .fds = {}});
  for (int i = 0; i < 100 && process_.running(); ++i) {
    if (RunToEnd({"jack_lsp"}).out.find("midi-monitor:input") != std::string::npos) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

std::vector<Dumped> MidiDump::WaitForEvents(std::size_t count, std::chrono::milliseconds limit,
                                            std::chrono::milliseconds settle) const {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end && Events().size() < count) {
    std::this_thread::sleep_for(25ms);
  }
  std::this_thread::sleep_for(settle);
  return Events();
}

}  // namespace tonvale::test
