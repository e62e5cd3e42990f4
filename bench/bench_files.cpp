// The render of ten minutes of sound to a WAV file with a silent source (the
// file and plan side, not the synthesizer), then save, load and export of a
// 1,000,000-event recording, each through the real file functions
// (temporary file, flush to disk, rename). Prints every run, then the
// medians and how much the render raised the peak memory on the last line:
//   save_ms X load_ms Y export_ms Z render_ms R render_peak_growth_kb G
// Optional argument: the folder to write in (default: the system's
// temporary folder).
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "files/midi_export.h"
#include "files/qvi_file.h"
#include "tool/render_plan.h"

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

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// An output that takes every message and a source of silence.
struct Silence : tonvale::MidiOut, tonvale::FrameSource {
  int DeviceCount() override { return 1; }
  std::optional<std::string> DescribeDevice(int) override { return "silence"; }
  bool Open(int) override { return true; }
  void Send(std::uint32_t) override {}
  void Close() override {}
  void Render(std::span<std::int16_t> out) override { std::fill(out.begin(), out.end(), 0); }
};

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path folder =
      (argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path()) / "tonvale-bench-files";
  fs::create_directories(folder);

  // The render first, while the peak is the program's own: ten minutes of
  // sound must not raise it by the 106 MB the WAV file holds.
  const std::vector<tonvale::PerformanceEvent> ten_minutes = {{0, 256, 0x1E0001, 0},
                                                              {600000, 257, 0xC01E0001, 0}};
  Silence silence;
  std::vector<double> render;
  const long peak_before = PeakKb();
  for (int run = 0; run < kRuns; ++run) {
    const auto start = Clock::now();
    if (tonvale::RenderWavFile(folder / "long.wav", silence, silence, ten_minutes,
                               {1297, 0, false})) {
      std::fprintf(stderr, "render failed\n");
      return 1;
    }
    render.push_back(MsSince(start));
    std::printf("run %d: render %.1f ms\n", run + 1, render.back());
  }
  const long render_growth = PeakKb() - peak_before;

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
  std::printf("save_ms %.1f load_ms %.1f export_ms %.1f render_ms %.1f render_peak_growth_kb %ld\n",
              Median(save), Median(load), Median(export_), Median(render), render_growth);
  return 0;
}
