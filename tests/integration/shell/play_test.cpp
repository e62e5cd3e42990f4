// Starts the real tonvale on its own Xvfb display, picks a JACK port that
// jack_midi_dump listens on from the device menu with the keyboard, plays it
// with X key events and checks the bytes that arrive.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

pid_t Spawn(const std::vector<std::string>& args, const fs::path& log) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

// The exit code, or -1 when it did not end by itself within `limit`.
int WaitExit(pid_t pid, std::chrono::milliseconds limit = 20s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(20ms);
  }
  return -1;
}

// A JACK server killed outright keeps its slot in JACK's registry of
// servers, and after a few such slots no server starts on the machine: give
// every process time to end by itself.
void Stop(pid_t& pid, std::chrono::milliseconds grace = 5s) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  if (WaitExit(pid, grace) == -1) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  pid = -1;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> DumpedMessages(const std::string& dump) {
  static const std::regex kLine(R"(^\s*\d+:\s+((?:[0-9a-f]{2} ?)+))", std::regex::icase);
  std::vector<std::string> out;
  std::istringstream lines(dump);
  for (std::string line; std::getline(lines, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, kLine)) continue;
    std::string bytes = m[1];
    while (!bytes.empty() && bytes.back() == ' ') bytes.pop_back();
    out.push_back(bytes);
  }
  return out;
}

class RealProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tonvale-play-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::create_directory(dir_ / "runtime");
    chmod((dir_ / "runtime").c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", (dir_ / "runtime").c_str(), 1);

    // Our own display, numbered by Xvfb itself so that it cannot be taken.
    int display_pipe[2];
    ASSERT_EQ(pipe(display_pipe), 0);
    xvfb_ = Spawn({"Xvfb", "-displayfd", std::to_string(display_pipe[1]), "-screen", "0",
                   "1280x1024x24", "-nolisten", "tcp"},
                  dir_ / "xvfb.log");
    close(display_pipe[1]);
    ASSERT_GT(xvfb_, 0);
    std::string number;
    char c = 0;
    while (read(display_pipe[0], &c, 1) == 1 && c != '\n') number += c;
    close(display_pipe[0]);
    ASSERT_FALSE(number.empty()) << ReadAll(dir_ / "xvfb.log");
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);

    // And our own JACK server, named after this process.
    server_ = "tonvale-play-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", server_.c_str(), 1);
    // Long periods: without real-time scheduling, short ones overrun on a busy
    // machine and JACK drops the MIDI of an overrun cycle.
    jackd_ =
        Spawn({"jackd", "--no-realtime", "-n", server_, "-d", "dummy", "-r", "48000", "-p", "256"},
              dir_ / "jackd.log");
    ASSERT_GT(jackd_, 0);
    ASSERT_EQ(WaitExit(Spawn({"jack_wait", "-w", "-t", "10"}, dir_ / "wait.log")), 0)
        << ReadAll(dir_ / "jackd.log");
    dump_ = Spawn({"stdbuf", "-oL", "jack_midi_dump", "-a"}, dir_ / "dump.log");
    ASSERT_GT(dump_, 0);
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
      const pid_t lsp = Spawn({"jack_lsp"}, dir_ / "lsp.log");
      WaitExit(lsp);
      up = ReadAll(dir_ / "lsp.log").find("midi-monitor:input") != std::string::npos;
      if (!up) std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(up) << ReadAll(dir_ / "dump.log");
  }

  void TearDown() override {
    Stop(program_);
    Stop(dump_);
    Stop(jackd_, 30s);
    Stop(xvfb_);
    if (!HasFailure()) fs::remove_all(dir_);
  }

  // Runs xdotool with these arguments and returns what it printed.
  std::string Xdo(const std::vector<std::string>& args) {
    std::vector<std::string> all = {"timeout", "20", "xdotool"};
    all.insert(all.end(), args.begin(), args.end());
    const pid_t pid = Spawn(all, dir_ / "xdo.log");
    EXPECT_EQ(WaitExit(pid, 25s), 0) << "xdotool " << args.front();
    return ReadAll(dir_ / "xdo.log");
  }

  std::vector<std::string> WaitForMessages(std::size_t count) {
    for (int i = 0; i < 200; ++i) {
      if (DumpedMessages(ReadAll(dir_ / "dump.log")).size() >= count) break;
      std::this_thread::sleep_for(25ms);
    }
    std::this_thread::sleep_for(300ms);  // anything extra shows up now
    return DumpedMessages(ReadAll(dir_ / "dump.log"));
  }

  void Screenshot(const std::string& name) {
    const char* keep = std::getenv("TONVALE_SHOT_DIR");
    if (keep == nullptr || *keep == '\0') return;
    WaitExit(Spawn({"import", "-window", "root", (fs::path(keep) / name).string()},
                   dir_ / "import.log"));
  }

  fs::path dir_;
  std::string display_;
  std::string server_;
  pid_t xvfb_ = -1;
  pid_t jackd_ = -1;
  pid_t dump_ = -1;
  pid_t program_ = -1;
};

TEST_F(RealProgram, PlaysIntoAJackPortChosenFromTheDeviceMenu) {
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  setenv("TONVALE_SPLASH_MS", "300", 1);
  // The built-in synthesizer (the default output) writes to a file here.
  setenv("TONVALE_AUDIO_DRIVER", "file", 1);
  setenv("TONVALE_AUDIO_FILE", (dir_ / "synth.wav").c_str(), 1);
  program_ = Spawn({TONVALE_PROGRAM}, dir_ / "tonvale.log");
  ASSERT_GT(program_, 0);

  const std::string found = Xdo({"search", "--sync", "--onlyvisible", "--name", "^Tonvale - "});
  const std::string window = found.substr(0, found.find('\n'));
  ASSERT_FALSE(window.empty()) << ReadAll(dir_ / "tonvale.log");
  Xdo({"windowfocus", "--sync", window});
  std::this_thread::sleep_for(300ms);
  Screenshot("integration-start.png");

  // Alt+6 opens the device menu; its last item is the JACK port.
  Xdo({"key", "alt+6"});
  std::this_thread::sleep_for(400ms);
  Screenshot("integration-device-menu.png");
  Xdo({"key", "Up", "Return"});
  auto got = WaitForMessages(2);
  ASSERT_EQ(got, (std::vector<std::string>{"c0 00", "cf 00"}))
      << ReadAll(dir_ / "dump.log") << ReadAll(dir_ / "tonvale.log");

  Xdo({"key", "a"});
  got = WaitForMessages(4);
  ASSERT_EQ(got.size(), 4u) << ReadAll(dir_ / "dump.log");
  EXPECT_EQ(got[2], "90 3c 7f");
  EXPECT_EQ(got[3], "80 3c 00");

  // Shift held at the press: an octave up.
  Xdo({"keydown", "shift", "key", "a", "keyup", "shift"});
  got = WaitForMessages(6);
  ASSERT_EQ(got.size(), 6u) << ReadAll(dir_ / "dump.log");
  EXPECT_EQ(got[4], "90 48 7f");
  EXPECT_EQ(got[5], "80 48 00");

  // A chord held down, as the window shows it.
  Xdo({"keydown", "d", "keydown", "g"});
  got = WaitForMessages(8);
  Screenshot("integration-chord.png");
  Xdo({"keyup", "d", "keyup", "g"});
  got = WaitForMessages(10);
  ASSERT_EQ(got.size(), 10u) << ReadAll(dir_ / "dump.log");
  EXPECT_EQ(got[6], "90 40 7f");
  EXPECT_EQ(got[7], "90 43 7f");
  EXPECT_EQ(got[8], "80 40 00");
  EXPECT_EQ(got[9], "80 43 00");

  // Held past the X server's auto-repeat delay: still one note.
  Xdo({"keydown", "j", "sleep", "1.5", "keyup", "j"});
  got = WaitForMessages(12);
  ASSERT_EQ(got.size(), 12u) << ReadAll(dir_ / "dump.log");
  EXPECT_EQ(got[10], "90 47 7f");
  EXPECT_EQ(got[11], "80 47 00");

  // Asked to end: the window closes, every channel is silenced, exit code 0.
  kill(program_, SIGTERM);
  EXPECT_EQ(WaitExit(program_), 0) << ReadAll(dir_ / "tonvale.log");
  program_ = -1;
  got = WaitForMessages(28);
  ASSERT_EQ(got.size(), 28u) << ReadAll(dir_ / "dump.log");
  for (int c = 0; c < 16; ++c) {
    std::ostringstream expected;
    expected << "b" << std::hex << c << " 7b 00";
    EXPECT_EQ(got[12 + static_cast<std::size_t>(c)], expected.str());
  }
}

}  // namespace
