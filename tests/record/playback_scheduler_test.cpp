#include "record/playback_scheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "perform/instrument.h"

namespace tonvale {

using Time = PlaybackTimer::Time;
constexpr Time Ms(std::int64_t ms) {
  return std::chrono::milliseconds(ms);
}

// Each sleep ends at once, the time then being its due time plus `late`, so
// a run takes no real time. Only the scheduler's thread sleeps.
struct FakeTimer : PlaybackTimer {
  explicit FakeTimer(Time late = {}) : late(late) {}
  Time Now() override { return now.load(); }
  bool SleepUntil(Time due) override {
    dues.push_back(due);
    if (interrupted) return false;
    now = std::max(now.load(), due + late);
    return true;
  }
  void Interrupt() override { interrupted = true; }
  void Resume() override { interrupted = false; }
  const Time late;
  std::atomic<Time> now{};
  std::atomic<bool> interrupted{false};
  std::vector<Time> dues;
};

// A scheduler over a FakeTimer that logs its handovers as "index@ms", the
// end of a single play as "end@ms", and stops itself after `stop_after`;
// any handover once `stopped` is set is logged as "late".
struct Rig {
  explicit Rig(int stop_after = 1000, Time late = {}) : stop_after(stop_after), timer(late) {}
  std::string Play(std::initializer_list<std::uint32_t> delays, bool loop) {
    std::vector<PerformanceEvent> events;
    for (std::uint32_t d : delays) events.push_back({d, kKeyDown, 0x001E0001u, 0});
    done = {};
    handed = 0;
    EXPECT_TRUE(scheduler.Start(events, loop));
    EXPECT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    scheduler.Stop();  // joins the thread
    return std::exchange(log, {});
  }
  void Handed(std::uint64_t gen, const std::string& what) {
    generation = gen;
    log += (stopped ? "late" : what) + "@" + std::to_string(timer.now.load() / Ms(1)) + " ";
    if (what != "end" && ++handed < stop_after) return;
    if (what != "end") scheduler.Stop();  // from inside a handover: no deadlock
    done.set_value();
  }
  const int stop_after;
  FakeTimer timer;
  std::string log;
  std::promise<void> done;
  int handed = 0;
  std::uint64_t generation = 0;
  std::atomic<bool> stopped{false};
  PlaybackScheduler scheduler{
      timer, [this](std::uint64_t gen, std::uint32_t i) { Handed(gen, std::to_string(i)); },
      [this](std::uint64_t gen) { Handed(gen, "end"); }};
};

TEST(PlaybackScheduler, DelaysWithAFiveMsFloorOnceOrInALoop) {
  Rig rig;
  // The first event waits its own delay; a chord (0, 3) plays 5 ms apart.
  EXPECT_EQ(rig.Play({1200, 0, 3, 7}, false), "0@1200 1@1205 2@1210 3@1217 end@1217 ");
  EXPECT_EQ(rig.timer.dues.size(), 4u) << "nothing is armed after the end";
  EXPECT_FALSE(rig.scheduler.IsCurrent(rig.generation)) << "stopped: queued handovers are stale";
  EXPECT_FALSE(rig.scheduler.Start({}, false)) << "an empty list has no event 0";
  // A loop: the first delay between passes, at least 5 ms; wake-ups 4 ms
  // late do not move the due times after them.
  EXPECT_EQ(Rig(5).Play({300, 100}, true), "0@300 1@400 0@700 1@800 0@1100 ");
  EXPECT_EQ(Rig(6, Ms(4)).Play({0, 10}, true), "0@9 1@19 0@24 1@34 0@39 1@49 ");
}

// Stops a running scheduler from a second thread at random moments: while
// it sleeps, hands over, loops or ends by itself. What must hold every time:
// once Stop() has returned nothing more is handed over, the events come in
// order and none twice, and a single play ends once, after its last event.
TEST(PlaybackScheduler, StopFromAnotherThreadAtAnyMomentIsFinal) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 1000; ++round) {
    Rig rig(200);
    const bool loop = round % 2 == 0;
    const std::size_t count = 1 + rng() % 4;
    const auto spins = static_cast<int>(rng() % 20000);
    ASSERT_TRUE(
        rig.scheduler.Start(std::vector<PerformanceEvent>(count, {0, kKeyDown, 0, 0}), loop));
    std::thread stopper([&] {
      // Busy, not yielding: on a loaded machine a yield can cost a time slice.
      std::atomic<int> busy{0};
      for (int i = 0; i < spins; ++i) busy.fetch_add(1, std::memory_order_relaxed);
      rig.scheduler.Stop();
      rig.stopped = true;
    });
    stopper.join();
    // Every event 5 ms after the one before; the end with the last.
    std::string all;
    for (std::size_t i = 0; i < (loop ? 200 : count); ++i) {
      all += std::to_string(i % count) + "@" + std::to_string(5 * (i + 1)) + " ";
    }
    if (!loop) all += "end@" + std::to_string(5 * count) + " ";
    ASSERT_EQ(all.substr(0, rig.log.size()), rig.log) << "round " << round;
  }
}

}  // namespace tonvale
