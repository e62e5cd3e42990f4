// The servers a user's desktop would run, started privately for one check:
// an X server without a screen and a sound server whose only output is a
// null sink that can be recorded.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "child_process.h"

namespace tonvale::e2e {

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

// The file's size, 0 when it does not exist.
std::uintmax_t FileSize(const std::filesystem::path& path);

std::string ReadText(const std::filesystem::path& path);

}  // namespace tonvale::e2e
