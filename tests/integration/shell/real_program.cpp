#include "real_program.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace tonvale::test {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void RealProgram::SetUp() {
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
  std::string error;
  jackd_ = StartJackServer(server_, 256, dir_, error);
  ASSERT_GT(jackd_, 0) << error;
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

void RealProgram::TearDown() {
  Stop(program_);
  Stop(dump_);
  Stop(jackd_, kJackGrace);
  Stop(xvfb_);
  if (!HasFailure()) fs::remove_all(dir_);
}

bool RealProgram::StartProgram(const std::vector<std::string>& arguments) {
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  setenv("TONVALE_SPLASH_MS", "300", 1);
  setenv("TONVALE_REPORT_READY", "1", 1);
  // The built-in synthesizer (the default output) writes to a file here.
  setenv("TONVALE_AUDIO_DRIVER", "file", 1);
  setenv("TONVALE_AUDIO_FILE", (dir_ / "synth.wav").c_str(), 1);
  std::vector<std::string> args = {TONVALE_PROGRAM};
  args.insert(args.end(), arguments.begin(), arguments.end());
  program_ = Spawn(args, dir_ / "tonvale.log");
  if (program_ <= 0) return false;
  window_ = FindWindow("^Tonvale - ");
  if (window_.empty()) return false;
  Xdo({"windowfocus", "--sync", window_});
  std::this_thread::sleep_for(300ms);
  return true;
}

std::string RealProgram::FindWindow(const std::string& pattern) {
  const std::string found = Xdo({"search", "--sync", "--onlyvisible", "--name", pattern});
  return found.substr(0, found.find('\n'));
}

std::string RealProgram::Xdo(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"timeout", "20", "xdotool"};
  all.insert(all.end(), args.begin(), args.end());
  const pid_t pid = Spawn(all, dir_ / "xdo.log");
  EXPECT_EQ(WaitExit(pid, 25s), 0) << "xdotool " << args.front();
  return ReadAll(dir_ / "xdo.log");
}

std::vector<Dumped> RealProgram::WaitForEvents(std::size_t count, std::chrono::milliseconds limit,
                                               std::chrono::milliseconds settle) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (DumpedEvents(ReadAll(dir_ / "dump.log")).size() >= count) break;
    std::this_thread::sleep_for(25ms);
  }
  std::this_thread::sleep_for(settle);
  return DumpedEvents(ReadAll(dir_ / "dump.log"));
}

std::vector<std::string> RealProgram::WaitForMessages(std::size_t count) {
  std::vector<std::string> out;
  for (const Dumped& d : WaitForEvents(count)) out.push_back(d.bytes);
  return out;
}

void RealProgram::Screenshot(const std::string& name) {
  const char* keep = std::getenv("TONVALE_SHOT_DIR");
  if (keep == nullptr || *keep == '\0') return;
  WaitExit(
      Spawn({"import", "-window", "root", (fs::path(keep) / name).string()}, dir_ / "import.log"));
}

std::string RealProgram::Logs() {
  return "--- dump\n" + ReadAll(dir_ / "dump.log") + "--- tonvale\n" +
         ReadAll(dir_ / "tonvale.log");
}

}  // namespace tonvale::test
