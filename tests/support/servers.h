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

// PulseAudio as an ordinary user's server would run, with a null sink named
// "nullsink" and a native socket in `dir`. Run as root it only warns, given
// a HOME and XDG_RUNTIME_DIR of its own.
class SoundServer {
 public:
  explicit SoundServer(const std::filesystem::path& dir);
  bool ok() const { return ok_; }
  const std::string& error() const { return error_; }
  // PULSE_SERVER, HOME and XDG_RUNTIME_DIR for the clients.
  void AddTo(Environment& env) const;

 private:
  std::filesystem::path home_;
  std::filesystem::path runtime_;
  std::filesystem::path socket_;
  Process process_;
  bool ok_ = false;
  std::string error_;
};

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
