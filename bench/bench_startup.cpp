// Start-up time of the real program: from starting the process to its main
// window on the screen with the output open, ready to be played.
//
// Runs under an Xvfb of its own with a PulseAudio null sink (the program's
// default output then opens as on a desktop), both started here and stopped
// by their process ids. The splash is shortened with TONVALE_SPLASH_MS; the
// soundfont loads behind it, so a short splash leaves the rest of the loading
// to the window's creation, which waits for it.
//
// "Ready" is the line "tonvale: ready" on the program's stderr when it
// prints one (asked for with TONVALE_REPORT_READY=1); otherwise the moment
// the X server maps the main window (its title begins "Tonvale - "), which the
// program does only after the output is open.
//
// Usage: bench_startup [runs] [splash_ms] [program]
// Defaults: 10 runs after one warm-up run, 1 ms splash, the program built
// beside this benchmark. Last line: startup_ms <median, splash excluded>.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "servers.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using tonvale::test::Environment;
using tonvale::test::Process;
using tonvale::test::SpawnOptions;

constexpr const char* kReadyLine = "tonvale: ready";
constexpr const char* kMainTitle = "Tonvale - ";

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Watches the X server for top-level windows being mapped.
class MapWatch {
 public:
  explicit MapWatch(const std::string& display)
      : connection_(xcb_connect(display.c_str(), nullptr)) {
    if (xcb_connection_has_error(connection_)) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    name_ = Atom("_NET_WM_NAME");
    utf8_ = Atom("UTF8_STRING");
    xcb_flush(connection_);
    ok_ = true;
  }
  ~MapWatch() { xcb_disconnect(connection_); }

  bool ok() const { return ok_; }
  int fd() const { return xcb_get_file_descriptor(connection_); }

  // The titles of the windows mapped since the last call.
  std::vector<std::string> MappedTitles() {
    std::vector<std::string> titles;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
      if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
        titles.push_back(Title(reinterpret_cast<xcb_map_notify_event_t*>(event)->window));
      }
      std::free(event);
    }
    return titles;
  }

 private:
  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
  }

  std::string Title(xcb_window_t window) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, name_, utf8_, 0, 256), nullptr);
    std::string title;
    if (reply != nullptr) {
      title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                   static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    }
    std::free(reply);
    return title;
  }

  xcb_connection_t* connection_;
  xcb_window_t root_ = 0;
  xcb_atom_t name_ = XCB_ATOM_NONE;
  xcb_atom_t utf8_ = XCB_ATOM_NONE;
  bool ok_ = false;
};

struct Run {
  std::optional<double> splash_ms;  // the splash window mapped
  std::optional<double> window_ms;  // the main window mapped
  std::optional<double> ready_ms;   // the program said it is ready
};

// One start of the program, watched until it is ready or 20 s have passed.
Run StartOnce(const std::string& program, const Environment& env, MapWatch& watch,
              bool await_ready_line, const std::filesystem::path& log) {
  Run run;
  int err[2];
  if (pipe2(err, O_CLOEXEC) != 0) return run;
  watch.MappedTitles();  // forget the last run's windows
  const auto start = Clock::now();
  Process child(SpawnOptions{.args = {program}, .env = env, .log = log, .fds = {{err[1], 2}}});
  close(err[1]);
  std::string text;
  int err_fd = err[0];  // -1 once the program closed its stderr
  const auto deadline = start + 20s;
  // Once the window is up, the line may follow a little later.
  auto give_up = deadline;
  while (Clock::now() < give_up && child.running()) {
    pollfd fds[2] = {{watch.fd(), POLLIN, 0}, {err_fd, POLLIN, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(give_up - Clock::now());
    if (poll(fds, 2, static_cast<int>(std::max<long>(1, left.count()))) < 0) break;
    const double now = Ms(Clock::now() - start);
    for (const std::string& title : watch.MappedTitles()) {
      if (title == "Tonvale" && !run.splash_ms) run.splash_ms = now;
      if (title.rfind(kMainTitle, 0) == 0 && !run.window_ms) {
        run.window_ms = now;
        give_up = await_ready_line ? std::min(deadline, Clock::now() + 3s) : Clock::now();
      }
    }
    if (fds[1].revents & (POLLIN | POLLHUP)) {
      char buffer[1024];
      const ssize_t n = read(err[0], buffer, sizeof buffer);
      if (n > 0) text.append(buffer, static_cast<std::size_t>(n));
      if (!run.ready_ms && text.find(kReadyLine) != std::string::npos) {
        run.ready_ms = now;
        break;
      }
      if (n <= 0) err_fd = -1;
    }
  }
  close(err[0]);
  child.Stop();
  return run;
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(std::lround(fraction * (values.size() - 1)))];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const int splash_ms = argc > 2 ? std::max(0, std::atoi(argv[2])) : 1;
  const std::string program = argc > 3 ? argv[3] : TONVALE_PROGRAM;

  tonvale::test::ScratchDir dir("tonvale-startup");
  tonvale::test::XServer x(dir.path());
  if (!x.ok()) {
    std::fprintf(stderr, "%s\n", x.error().c_str());
    return 1;
  }
  tonvale::test::SoundServer sound(dir.path());
  if (!sound.ok()) {
    std::fprintf(stderr, "%s\n", sound.error().c_str());
    return 1;
  }
  MapWatch watch(x.display());
  if (!watch.ok()) {
    std::fprintf(stderr, "cannot watch the X server\n");
    return 1;
  }
  Environment env = tonvale::test::CurrentEnvironment();
  sound.AddTo(env);
  env["DISPLAY"] = x.display();
  env["QT_QPA_PLATFORM"] = "xcb";
  env["TONVALE_SPLASH_MS"] = std::to_string(splash_ms);
  env["TONVALE_REPORT_READY"] = "1";
  // A state folder of its own: no take the user left unsaved is offered here.
  env["XDG_STATE_HOME"] = dir.path().string();
  env.erase("TONVALE_AUDIO_DRIVER");

  // The warm-up run also tells whether the program reports "ready".
  const Run first = StartOnce(program, env, watch, true, dir.path() / "warm-up.log");
  if (!first.window_ms && !first.ready_ms) {
    std::fprintf(stderr, "the main window never came up:\n%s\n",
                 tonvale::test::ReadText(dir.path() / "warm-up.log").c_str());
    return 1;
  }
  const bool has_ready_line = first.ready_ms.has_value();
  std::printf("program %s\nsplash_ms %d\nready_by %s\n", program.c_str(), splash_ms,
              has_ready_line ? "the line \"tonvale: ready\"" : "the main window being mapped");

  std::vector<double> startup;
  for (int i = 0; i < runs; ++i) {
    const Run run = StartOnce(program, env, watch, has_ready_line,
                              dir.path() / ("run-" + std::to_string(i) + ".log"));
    const std::optional<double> ready = has_ready_line ? run.ready_ms : run.window_ms;
    if (!ready) {
      std::fprintf(stderr, "run %d: not ready within 20 s\n", i);
      return 1;
    }
    startup.push_back(*ready - splash_ms);
    std::printf("run %2d total_ms %.1f", i, *ready);
    if (run.splash_ms) std::printf(" splash_shown_ms %.1f", *run.splash_ms);
    if (run.window_ms) std::printf(" window_mapped_ms %.1f", *run.window_ms);
    std::printf(" startup_ms %.1f\n", startup.back());
  }
  const double median = Percentile(startup, 0.5);
  std::printf("runs %zu min_ms %.1f median_ms %.1f max_ms %.1f\n", startup.size(),
              Percentile(startup, 0), median, Percentile(startup, 1));
  std::printf("goal_ms 300 %s\n", median < 300 ? "met" : "missed");
  std::printf("startup_ms %.1f\n", median);
  return 0;
}
