// What the journal of a take costs while it is played: a take of 8 notes a
// second (16 key events) handed to the journal every 250 ms, as the window
// does, for 20 s of real time. Prints the bytes handed to the system
// (write calls) and the bytes the disk received (write-back and syncs), both
// per minute of playing, the write calls, and the window thread's cost of
// one hand-over (median):
//   journal_write_bytes_per_min W disk_bytes_per_min D write_calls_per_min C handover_us H
// Optional argument: the folder to keep the journal in (default: the
// system's temporary folder; tmpfs counts no disk bytes).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "files/take_journal.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPlaying = std::chrono::seconds(20);
constexpr auto kHandOver = std::chrono::milliseconds(250);
constexpr int kEventsPerSecond = 16;

// This process's counters from /proc/self/io.
std::map<std::string, long long> Io() {
  std::map<std::string, long long> io;
  std::ifstream in("/proc/self/io");
  std::string name;
  long long value = 0;
  while (in >> name >> value) io[name.substr(0, name.size() - 1)] = value;
  return io;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path folder = (argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path()) /
                          ("tonvale-bench-journal-" + std::to_string(::getpid()));
  std::vector<double> handover_us;
  const std::map<std::string, long long> before = Io();
  {
    tonvale::TakeJournal journal(folder);
    journal.Restart({}, {1297, false});
    std::vector<tonvale::PerformanceEvent> take;
    std::size_t handed = 0;
    const auto start = Clock::now();
    for (auto next = start + kHandOver; next <= start + kPlaying; next += kHandOver) {
      std::this_thread::sleep_until(next);
      // The events played since the last hand-over.
      const auto due = static_cast<std::size_t>(
          std::chrono::duration<double>(Clock::now() - start).count() * kEventsPerSecond);
      while (take.size() < due) {
        const bool press = take.size() % 2 == 0;
        take.push_back({62, press ? 256 : 257, (press ? 0u : 0xC0000000u) | 0x1E0001u, 0});
      }
      const auto t0 = Clock::now();
      journal.Append(std::span(take).subspan(handed), {1297, false});
      handover_us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
      handed = take.size();
    }
    journal.Flush();
    std::printf("take: %zu events, journal %ju bytes\n", take.size(),
                static_cast<std::uintmax_t>(fs::file_size(journal.Path())));
  }
  const std::map<std::string, long long> after = Io();
  fs::remove_all(folder);
  const double minutes = std::chrono::duration<double>(kPlaying).count() / 60;
  std::sort(handover_us.begin(), handover_us.end());
  std::printf(
      "journal_write_bytes_per_min %.0f disk_bytes_per_min %.0f write_calls_per_min %.0f "
      "handover_us %.1f\n",
      (after.at("wchar") - before.at("wchar")) / minutes,
      (after.at("write_bytes") - before.at("write_bytes")) / minutes,
      (after.at("syscw") - before.at("syscw")) / minutes, handover_us[handover_us.size() / 2]);
  return 0;
}
