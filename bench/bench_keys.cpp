// A key press and its release through the key handler to a null output (a
// note, or the sustain pedal): our own work per key event, and the heap
// allocations on that path.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>
#include <string>

#include "perform/instrument.h"
#include "perform/key_handler.h"

namespace {

std::atomic<std::uint64_t> g_allocations{0};

class NullOut : public tonvale::MidiOut {
 public:
  int DeviceCount() override { return 1; }
  std::optional<std::string> DescribeDevice(int) override { return std::nullopt; }
  bool Open(int) override { return true; }
  void Send(std::uint32_t packed) override { benchmark::DoNotOptimize(packed); }
  void Close() override {}
};

// Hooks as the window has them: modifiers read, a mark drawn, a recorder
// asked; all cheap here so that the handler's own cost shows.
class Hooks : public tonvale::KeyEventHooks {
 public:
  bool ShiftDown() override { return false; }
  bool CtrlDown() override { return false; }
  void DrawKeyMark(int index, bool pressed, int shift) override {
    benchmark::DoNotOptimize(index + pressed + shift);
  }
};

void BM_KeyPressAndRelease(benchmark::State& state) {
  NullOut out;
  Hooks hooks;
  tonvale::Instrument inst;
  inst.out = &out;
  inst.hooks = &hooks;
  inst.settings.device_open = 1;
  inst.settings.auto_bass = static_cast<std::int32_t>(state.range(0));
  // A (scan code 30), a note; or Space (57), the sustain pedal.
  const auto press = static_cast<std::uint32_t>(state.range(1)) << 16 | 1u;
  const std::uint32_t release = press | 0xC0000000u;

  const std::uint64_t before = g_allocations.load();
  for (auto _ : state) {
    tonvale::HandleKeyEvent(inst, tonvale::kKeyDown, press);
    tonvale::HandleKeyEvent(inst, tonvale::kKeyUp, release);
  }
  const std::uint64_t allocations = g_allocations.load() - before;
  const double events = 2.0 * static_cast<double>(state.iterations());
  state.counters["allocs_per_event"] = static_cast<double>(allocations) / events;
  // Per key event, not per press-and-release pair.
  state.counters["time_per_event"] =
      benchmark::Counter(events, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeyPressAndRelease)->ArgsProduct({{0, 1}, {30, 57}})->ArgNames({"auto_bass", "scan"});

}  // namespace

// Counts every allocation of the process; the benchmark reads the count
// around its loop.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

BENCHMARK_MAIN();
