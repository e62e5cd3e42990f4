// Save, load and export of a 1,000,000-event recording, each through the
// real file functions (temporary file, flush to disk, rename). Prints every
// run, then the medians on the last line:
//   save_ms X load_ms Y export_ms Z
// Optional argument: the folder to write in (default: the system's
// temporary folder).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "files/midi_export.h"
#include "files/qvi_file.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;
constexpr std::size_t kEvents = 1000000;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path folder =
      (argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path()) / "tonvale-bench-files";
  fs::create_directories(folder);

  // Presses and releases over the whole keyboard, with all three shifts.
  std::vector<tonvale::PerformanceEvent> events(kEvents);
  for (std::size_t i = 0; i < kEvents; ++i) {
    const std::uint32_t scan = 2 + static_cast<std::uint32_t>((i / 2) % 52);
    events[i] = {static_cast<std::uint32_t>(i % 997), i % 2 ? 257 : 256, scan << 16 | 1,
                 static_cast<std::int32_t>(i % 3) - 1};
  }
  const tonvale::FileDate date{2024, 3, 9};

  std::vector<double> save, load, export_;
  for (int run = 0; run < kRuns; ++run) {
    auto start = Clock::now();
    if (tonvale::WriteQviFile(folder / "big.qvi", events, 1297, true, date)) {
      std::fprintf(stderr, "save failed\n");
      return 1;
    }
    save.push_back(MsSince(start));

    start = Clock::now();
    const tonvale::QviReadResult read = tonvale::ReadQviFile(folder / "big.qvi");
    load.push_back(MsSince(start));
    if (!std::holds_alternative<tonvale::RecordingFile>(read) ||
        std::get<tonvale::RecordingFile>(read).events != events) {
      std::fprintf(stderr, "load failed\n");
      return 1;
    }

    start = Clock::now();
    if (tonvale::ExportMidiFile(folder / "big.mid", events, 1297, 0, true)) {
      std::fprintf(stderr, "export failed\n");
      return 1;
    }
    export_.push_back(MsSince(start));
    std::printf("run %d: save %.1f ms, load %.1f ms, export %.1f ms\n", run + 1, save.back(),
                load.back(), export_.back());
  }
  std::printf("file sizes: %ju bytes .qvi, %ju bytes .mid\n",
              static_cast<std::uintmax_t>(fs::file_size(folder / "big.qvi")),
              static_cast<std::uintmax_t>(fs::file_size(folder / "big.mid")));
  fs::remove_all(folder);
  std::printf("save_ms %.1f load_ms %.1f export_ms %.1f\n", Median(save), Median(load),
              Median(export_));
  return 0;
}
