// The servers a user's desktop would run, started privately for one test:
// an X server without a screen, a sound server whose only output is a null
// sink that can be recorded, and a JACK server.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "child_process.h"

namespace tonvale::test {

// Xvfb on a display number it picks itself, so that parallel runs never meet.
class XServer {
 public:
  explicit XServer(const std::filesystem::path& dir);  // the log: `dir`/xvfb.log
  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"
  std::string error() const { return "Xvfb did not start: " + ReadText(log_); }

 private:
  std::filesystem::path log_;
  Process process_;
  std::string display_;
};

// Runs xdotool with `args`, its standard error appended to `log`. xdotool
// skips a key name it does not know and still succeeds; here that ends with
// code 1 and what it said in `out`, so that a mistyped key fails the test
// instead of pressing nothing.
RunResult Xdotool(std::vector<std::string> args, const Environment& env,
                  const std::filesystem::path& log);

// A desktop's sound server, private to one test, with a null sink "nullsink"
// as its default output: PipeWire as Debian 12 runs it (a D-Bus session bus,
// pipewire, wireplumber, pipewire-pulse), or PulseAudio. It runs as `user`
// (AsDesktopUser) with `dir` as HOME and XDG_RUNTIME_DIR, where its clients
// find it as a desktop's programs do.
class SoundServer {
 public:
  enum class Kind { kPipeWire, kPulseAudio };
  static Kind Installed();  // PipeWire where pipewire-pulse is installed
  explicit SoundServer(const std::filesystem::path& dir, Kind kind = Installed(),
                       std::vector<std::string> user = {});
  ~SoundServer();
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  bool pipewire() const { return pipewire_; }
  int rate() const { return pipewire_ ? 48000 : 44100; }  // the null sink's
  void AddTo(Environment& env) const;

 private:
  std::filesystem::path dir_;
  bool pipewire_ = false;
  std::vector<Process> processes_;
  std::string error_;
};

// The words that run a command as a desktop user would, without root's
// rights: as root, `nobody`, who is given `dir`; as anyone else, that user
// (no words). As root, the switch is tried before it is handed out, and
// what kept it from working is the error: a test that meant to run as a
// desktop user must never go on as root.
struct DesktopUser {
  std::vector<std::string> words;
  std::string error;
};
DesktopUser AsDesktopUser(const std::filesystem::path& dir);

// jackd with the dummy back-end, named after this process so that parallel
// runs never meet: constructing it points JACK_DEFAULT_SERVER at that name
// (for us and our children), Start runs it.
class JackServer {
 public:
  JackServer();
  ~JackServer() { Stop(); }
  // `period` frames at 48 kHz, the log in `dir`/jackd.log; waits until
  // clients can connect.
  bool Start(int period, const std::filesystem::path& dir);
  // A server killed outright keeps its slot in JACK's registry, and after a
  // few such slots none starts on the machine: it gets long to end by itself.
  void Stop() { process_.Stop(SIGTERM, 30s); }
  std::string error() const { return "jackd did not answer: " + ReadText(log_); }

 private:
  std::string name_;
  std::filesystem::path log_;
  Process process_;
};

}  // namespace tonvale::test
