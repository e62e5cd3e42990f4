// Plays 2,000 events with random delays of 0..50 ms through the real
// scheduler and the real clock, and measures how far each handover lands
// from its due time (the run's start plus the sum of the delays, each at
// least 5 ms). Lateness is reported in ms; the last line is machine-read:
//   mean_ms X p99_ms Y max_ms Z drift_ms W
// Usage: bench_playback [events] [seed] [spin margin in us]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <random>
#include <vector>

#include "perform/instrument.h"
#include "record/playback_scheduler.h"
#include "record/playback_timer.h"

int main(int argc, char** argv) {
  using tonvale::PlaybackScheduler;
  using Time = tonvale::PlaybackTimer::Time;

  const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 2000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;
  const long margin_us = argc > 3 ? std::strtol(argv[3], nullptr, 10) : -1;
  if (count == 0) return 2;

  std::mt19937 rng(seed);
  std::uniform_int_distribution<std::uint32_t> delay(0, 50);
  std::vector<tonvale::PerformanceEvent> events(count);
  for (auto& ev : events) ev = {delay(rng), tonvale::kKeyDown, 0x001E0001u, 0};

  tonvale::SteadyPlaybackTimer timer(margin_us < 0
                                         ? tonvale::SteadyPlaybackTimer::kDefaultSpinMargin
                                         : std::chrono::microseconds(margin_us));
  std::vector<Time> arrived(count);
  std::atomic<std::size_t> received{0};
  std::promise<void> finished;
  PlaybackScheduler scheduler(
      timer,
      [&](std::uint64_t, std::uint32_t index) {
        arrived[index] = timer.Now();
        received.fetch_add(1, std::memory_order_relaxed);
      },
      [&](std::uint64_t) { finished.set_value(); });

  if (!scheduler.Start(events, false)) {
    std::fprintf(stderr, "the scheduler did not start\n");
    return 1;
  }
  const Time start = scheduler.RunStart();
  finished.get_future().wait();
  scheduler.Stop();
  if (received.load() != count) {
    std::fprintf(stderr, "%zu of %zu events handed over\n", received.load(), count);
    return 1;
  }

  std::vector<double> late_ms(count);
  Time due = start;
  for (std::size_t i = 0; i < count; ++i) {
    due +=
        std::chrono::milliseconds(std::max(events[i].delta_ms, PlaybackScheduler::kMinSpacingMs));
    late_ms[i] = std::chrono::duration<double, std::milli>(arrived[i] - due).count();
  }
  const double drift = late_ms.back();
  const double total_s = std::chrono::duration<double>(arrived.back() - start).count();

  double early = 0;
  double sum = 0;
  for (double v : late_ms) {
    early = std::min(early, v);
    sum += std::abs(v);
  }
  std::vector<double> sorted = late_ms;
  for (double& v : sorted) v = std::abs(v);
  std::sort(sorted.begin(), sorted.end());
  const double mean = sum / static_cast<double>(count);
  const std::size_t p99_index = std::min(count - 1, (count * 99 + 99) / 100 - 1);
  const double p99 = sorted[p99_index];
  const double max = sorted.back();

  std::printf("events %zu seed %u played in %.3f s\n", count, seed, total_s);
  const auto worst = std::max_element(late_ms.begin(), late_ms.end(),
                                      [](double a, double b) { return std::abs(a) < std::abs(b); });
  std::printf("earliest handover %.4f ms (negative would be early)\n", early);
  std::printf("worst: event %td, %.4f ms\n", worst - late_ms.begin(), *worst);
  std::printf("mean_ms %.4f p99_ms %.4f max_ms %.4f drift_ms %.4f\n", mean, p99, max, drift);
  return 0;
}
