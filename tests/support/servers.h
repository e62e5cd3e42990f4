// The servers a user's desktop would run, started privately for one test:
// an X server without a screen, a sound server whose only output is a null
// sink that can be recorded, and a JACK server with jack_midi_dump listening.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"

namespace tonvale::test {

// Xvfb on a display number it picks itself, so that parallel runs never meet.
class XServer {
 public:
  // Check ok(); the log is `dir`/xvfb.log.
  explicit XServer(const std::filesystem::path& dir);
  bool ok() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"
  const std::string& error() const { return error_; }

 private:
  Process process_;
  std::string display_;
  std::string error_;
};

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

// As root: the words that run a command as `nobody`, who is given `dir`.
std::vector<std::string> AsDesktopUser(const std::filesystem::path& dir);

// A JACK server killed outright keeps its slot in JACK's registry of
// servers, and after a few such slots no server starts on the machine: it
// gets this long to end by itself.
inline constexpr std::chrono::seconds kJackGrace{30};

// `jackd --no-realtime -d dummy` named after this process, so that parallel
// runs never meet: constructing it points JACK_DEFAULT_SERVER at that name
// (for us and our children), Start runs it.
class JackServer {
 public:
  JackServer();
  ~JackServer() { Stop(); }
  // `period` frames at 48 kHz, the log in `dir`/jackd.log; waits until
  // clients can connect. Check error() when false.
  bool Start(int period, const std::filesystem::path& dir);
  void Stop() { process_.Stop(SIGTERM, kJackGrace); }
  const std::string& error() const { return error_; }

 private:
  std::string name_;
  Process process_;
  std::string error_;
};

// One MIDI message as jack_midi_dump printed it: its frame (48 kHz, counted
// from the dump's start) and its bytes as "90 3c 7f".
struct Dumped {
  std::uint64_t frame = 0;
  std::string bytes;
};
std::vector<Dumped> DumpedEvents(const std::string& dump);
std::vector<std::string> BytesOf(const std::vector<Dumped>& events);

// jack_midi_dump on the server JACK_DEFAULT_SERVER names, printing to
// `dir`/dump.log.
class MidiDump {
 public:
  // Starts it and waits for its port "midi-monitor:input".
  bool Start(const std::filesystem::path& dir);
  void Stop() { process_.Stop(); }
  std::string Text() const { return ReadText(log_); }
  std::vector<Dumped> Events() const { return DumpedEvents(Text()); }
  // Waits until the dump holds `count` messages, then `settle` longer for
  // anything extra to show up.
  std::vector<Dumped> WaitForEvents(
      std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5),
      std::chrono::milliseconds settle = std::chrono::milliseconds(300)) const;
  std::vector<std::string> WaitForMessages(std::size_t count) const {
    return BytesOf(WaitForEvents(count));
  }

 private:
  std::filesystem::path log_;
  Process process_;
};

}  // namespace tonvale::test
