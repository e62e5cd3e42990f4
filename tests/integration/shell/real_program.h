// The real tonvale on its own Xvfb display, with its own JACK server and a
// jack_midi_dump listening: the rig of the real-window checks.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "child_programs.h"
#include "jack_server.h"

namespace tonvale::test {

class RealProgram : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program (splash shortened, built-in synthesizer into a file)
  // and waits for its window; false when it did not show up.
  bool StartProgram(const std::vector<std::string>& arguments = {});
  // The first visible window whose name matches `pattern`, "" when none
  // shows up within xdotool's wait.
  std::string FindWindow(const std::string& pattern);
  // Runs xdotool with these arguments and returns what it printed.
  std::string Xdo(const std::vector<std::string>& args);
  // Waits until the dump holds `count` messages, then `settle` longer for
  // anything extra to show up.
  std::vector<Dumped> WaitForEvents(
      std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5),
      std::chrono::milliseconds settle = std::chrono::milliseconds(300));
  std::vector<std::string> WaitForMessages(std::size_t count);
  // The whole screen, into $TONVALE_SHOT_DIR/name when that is set.
  void Screenshot(const std::string& name);
  std::string Logs();

  std::filesystem::path dir_;
  std::string display_;
  std::string server_;
  std::string window_;  // the main window's X id, once started
  pid_t xvfb_ = -1;
  pid_t jackd_ = -1;
  pid_t dump_ = -1;
  pid_t program_ = -1;
};

}  // namespace tonvale::test
