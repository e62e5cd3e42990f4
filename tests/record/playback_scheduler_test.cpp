#include "record/playback_scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <optional>
#include <ostream>
#include <random>
#include <thread>
#include <vector>

#include "perform/instrument.h"

namespace tonvale {
namespace {

using Time = PlaybackTimer::Time;
Time Ms(std::int64_t ms) {
  return std::chrono::milliseconds(ms);
}

// What the scheduler handed over, in order, with the timer's time then.
struct Handover {
  bool finished;  // the end of a single play, else an event
  std::uint64_t generation;
  std::uint32_t index;
  Time at;
  bool operator==(const Handover&) const = default;
  friend void PrintTo(const Handover& h, std::ostream* os) {
    *os << (h.finished ? "end" : "event") << " gen " << h.generation << " #" << h.index << " at "
        << h.at.count() / 1000000 << " ms";
  }
};
Handover Event(std::uint64_t gen, std::uint32_t index, std::int64_t ms) {
  return {false, gen, index, Ms(ms)};
}
Handover End(std::uint64_t gen, std::int64_t ms) {
  return {true, gen, 0, Ms(ms)};
}

// Time moves only when the test says so; every SleepUntil() is logged so a
// test can walk the scheduler one due time at a time, and so is every
// handover. Free running: every sleep returns at once at its due time.
class FakeTimer : public PlaybackTimer {
 public:
  explicit FakeTimer(Time start = Time{0}, bool free_running = false)
      : now_(start), free_running_(free_running) {}
  Time Now() override {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
  }
  bool SleepUntil(Time due) override {
    std::unique_lock<std::mutex> lock(mutex_);
    sleeps_.push_back(due);
    changed_.notify_all();
    if (free_running_ && !interrupted_) now_ = std::max(now_, due);
    changed_.wait(lock, [&] { return interrupted_ || now_ >= due; });
    return !interrupted_;
  }
  void Interrupt() override {
    std::lock_guard<std::mutex> lock(mutex_);
    interrupted_ = true;
    ++interrupts_;
    changed_.notify_all();
  }
  void Resume() override {
    std::lock_guard<std::mutex> lock(mutex_);
    interrupted_ = false;
  }
  void SetNow(Time t) {  // never backwards
    std::lock_guard<std::mutex> lock(mutex_);
    now_ = std::max(now_, t);
    changed_.notify_all();
  }
  // The next due time not yet seen by the test; the waits are hang guards.
  std::optional<Time> NextSleep() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::seconds(10), [&] { return sleeps_.size() > seen_; }))
      return std::nullopt;
    return sleeps_[seen_++];
  }
  void Handed(bool finished, std::uint64_t gen, std::uint32_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    log_.push_back({finished, gen, index, now_});
    changed_.notify_all();
  }
  bool WaitFor(std::size_t handovers) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10),
                             [&] { return log_.size() >= handovers; });
  }
  std::vector<Handover> Log() {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }
  std::size_t SleepCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sleeps_.size();
  }
  int Interrupts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return interrupts_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  Time now_;
  const bool free_running_;
  bool interrupted_ = false;
  int interrupts_ = 0;
  std::vector<Time> sleeps_;
  std::size_t seen_ = 0;
  std::vector<Handover> log_;
};

// A scheduler whose handovers the fake timer logs.
struct Rig {
  explicit Rig(Time start = Time{0}) : timer(start) {}
  FakeTimer timer;
  PlaybackScheduler scheduler{
      timer, [this](std::uint64_t gen, std::uint32_t i) { timer.Handed(false, gen, i); },
      [this](std::uint64_t gen) { timer.Handed(true, gen, 0); }};
};

std::vector<PerformanceEvent> WithDelays(std::initializer_list<std::uint32_t> delays) {
  std::vector<PerformanceEvent> events;
  for (std::uint32_t d : delays) {
    events.push_back({d, events.size() % 2 ? kKeyUp : kKeyDown, 0x001E0001u, 0});
  }
  return events;
}

// Arrives exactly on each due time the scheduler asks for, checking them.
void StepThrough(FakeTimer& timer, const std::vector<std::int64_t>& expected) {
  for (std::int64_t ms : expected) {
    const auto due = timer.NextSleep();
    ASSERT_TRUE(due.has_value()) << "scheduler never asked to wait for " << ms;
    EXPECT_EQ(*due, Ms(ms));
    timer.SetNow(*due);
  }
}

TEST(PlaybackScheduler, SinglePlayKeepsDelaysWithFiveMsFloorAndEndsAfterLastEvent) {
  Rig rig(Ms(1000));
  auto& [timer, scheduler] = rig;
  // First event waits its own delay; 0 and 3 become 5; 7 and 5 stay.
  ASSERT_TRUE(scheduler.Start(WithDelays({1200, 0, 3, 7, 5}), false));
  const std::uint64_t gen = scheduler.CurrentGeneration();
  EXPECT_NE(gen, 0u);
  EXPECT_EQ(scheduler.RunStart(), Ms(1000));
  StepThrough(timer, {2200, 2205, 2210, 2217, 2222});
  ASSERT_TRUE(timer.WaitFor(6));
  // The end comes after the last event, and still counts.
  std::vector<Handover> expected = {Event(gen, 0, 2200), Event(gen, 1, 2205), Event(gen, 2, 2210),
                                    Event(gen, 3, 2217), Event(gen, 4, 2222), End(gen, 2222)};
  EXPECT_EQ(timer.Log(), expected);
  EXPECT_TRUE(scheduler.IsCurrent(gen));
  EXPECT_TRUE(scheduler.Running());
  EXPECT_EQ(timer.SleepCount(), 5u);  // nothing armed after the end
  // The window's stop command: the run is over, late queued handovers stale.
  scheduler.Stop();
  EXPECT_FALSE(scheduler.Running());
  EXPECT_FALSE(scheduler.IsCurrent(gen));

  // A lone press with no delay still waits 5 ms; a chord plays 5 ms apart.
  ASSERT_TRUE(scheduler.Start(WithDelays({0}), false));
  const std::uint64_t lone = scheduler.CurrentGeneration();
  StepThrough(timer, {2227});
  ASSERT_TRUE(timer.WaitFor(8));
  ASSERT_TRUE(scheduler.Start(WithDelays({400, 0, 0}), false));
  const std::uint64_t chord = scheduler.CurrentGeneration();
  StepThrough(timer, {2627, 2632, 2637});
  ASSERT_TRUE(timer.WaitFor(12));
  expected.insert(expected.end(), {Event(lone, 0, 2227), End(lone, 2227), Event(chord, 0, 2627),
                                   Event(chord, 1, 2632), Event(chord, 2, 2637), End(chord, 2637)});
  EXPECT_EQ(timer.Log(), expected);
  scheduler.Stop();
}

TEST(PlaybackScheduler, LoopRepeatsWithFirstDelayBetweenPassesUntilStopped) {
  Rig rig;
  auto& [timer, scheduler] = rig;
  ASSERT_TRUE(scheduler.Start(WithDelays({300, 100, 50}), true));
  const std::uint64_t g = scheduler.CurrentGeneration();
  StepThrough(timer, {300, 400, 450, 750, 850, 900, 1200});
  ASSERT_TRUE(timer.WaitFor(7));
  ASSERT_TRUE(timer.NextSleep().has_value());  // waiting for the next one
  scheduler.Stop();
  EXPECT_FALSE(scheduler.IsCurrent(g));
  // A loop never ends by itself.
  EXPECT_EQ(timer.Log(), (std::vector<Handover>{
                             Event(g, 0, 300), Event(g, 1, 400), Event(g, 2, 450), Event(g, 0, 750),
                             Event(g, 1, 850), Event(g, 2, 900), Event(g, 0, 1200)}));
  // A first delay of 0 still separates the passes by 5 ms.
  ASSERT_TRUE(scheduler.Start(WithDelays({0, 10}), true));
  StepThrough(timer, {1205, 1215, 1220, 1230, 1235});
  ASSERT_TRUE(timer.WaitFor(12));
  scheduler.Stop();
}

TEST(PlaybackScheduler, LateHandoversDoNotShiftLaterDueTimes) {
  Rig rig;
  auto& [timer, scheduler] = rig;
  ASSERT_TRUE(scheduler.Start(WithDelays({10, 10, 10, 10, 10, 10}), false));
  // Each wake-up comes 4 ms late, then one long stall to 75 ms: the plan
  // stays on its time line and the events already due follow at once.
  for (std::int64_t ms : {10, 20, 30, 40, 50, 60}) {
    const auto due = timer.NextSleep();
    ASSERT_TRUE(due.has_value());
    EXPECT_EQ(*due, Ms(ms));
    if (ms <= 30) timer.SetNow(*due + Ms(4));
    if (ms == 40) timer.SetNow(Ms(75));
  }
  ASSERT_TRUE(timer.WaitFor(7));
  EXPECT_TRUE(timer.Log()[6].finished);
  scheduler.Stop();
}

TEST(PlaybackScheduler, StopIsFinalAndStopWhenIdleDoesNothing) {
  Rig rig;
  auto& [timer, scheduler] = rig;
  scheduler.Stop();  // never started
  EXPECT_EQ(timer.Interrupts(), 0);
  EXPECT_FALSE(scheduler.Start({}, false)) << "an empty list has no event 0";
  EXPECT_FALSE(scheduler.Running());
  EXPECT_EQ(timer.SleepCount(), 0u);

  ASSERT_TRUE(scheduler.Start(WithDelays({20, 20}), true));
  const std::uint64_t first = scheduler.CurrentGeneration();
  StepThrough(timer, {20});
  ASSERT_TRUE(timer.WaitFor(1));
  ASSERT_TRUE(timer.NextSleep().has_value());
  scheduler.Stop();
  EXPECT_EQ(timer.Interrupts(), 1);
  EXPECT_FALSE(scheduler.Running());
  EXPECT_EQ(scheduler.CurrentGeneration(), 0u);
  // Time goes on; nothing is handed over or armed any more.
  const std::size_t sleeps = timer.SleepCount();
  timer.SetNow(Ms(10000));
  scheduler.Stop();
  EXPECT_EQ(timer.Interrupts(), 1);
  EXPECT_EQ(timer.Log().size(), 1u);
  EXPECT_EQ(timer.SleepCount(), sleeps);

  // A new run is a new generation; starting stops the one in progress.
  ASSERT_TRUE(scheduler.Start(WithDelays({20, 20}), true));
  const std::uint64_t second = scheduler.CurrentGeneration();
  EXPECT_NE(second, first);
  EXPECT_FALSE(scheduler.IsCurrent(first));
  ASSERT_TRUE(timer.NextSleep().has_value());
  ASSERT_TRUE(scheduler.Start(WithDelays({30}), false));
  const std::uint64_t third = scheduler.CurrentGeneration();
  EXPECT_FALSE(scheduler.IsCurrent(second));
  StepThrough(timer, {10030});
  ASSERT_TRUE(timer.WaitFor(3));
  const auto log = timer.Log();
  EXPECT_EQ(std::vector<Handover>(log.begin() + 1, log.end()),
            (std::vector<Handover>{Event(third, 0, 10030), End(third, 10030)}));
  scheduler.Stop();
}

TEST(PlaybackScheduler, StopFromInsideAHandoverEndsTheRunWithoutDeadlock) {
  FakeTimer timer(Time{0}, /*free_running=*/true);
  PlaybackScheduler* self = nullptr;
  std::atomic<int> events{0}, finishes{0};
  std::promise<void> third;
  PlaybackScheduler scheduler(
      timer,
      [&](std::uint64_t, std::uint32_t) {
        if (++events == 3) {
          self->Stop();
          third.set_value();
        }
      },
      [&](std::uint64_t) { ++finishes; });
  self = &scheduler;
  ASSERT_TRUE(scheduler.Start(WithDelays({1, 1}), true));
  const std::uint64_t gen = scheduler.CurrentGeneration();
  ASSERT_EQ(third.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_FALSE(scheduler.IsCurrent(gen)) << "queued handovers of the run are stale at once";
  scheduler.Stop();  // joins the thread that has ended itself
  EXPECT_EQ(events.load(), 3);
  EXPECT_EQ(finishes.load(), 0);
  EXPECT_FALSE(scheduler.Running());
}

// Stops a running scheduler from a second thread at random moments: while
// it sleeps, hands over, loops or ends by itself. Once Stop() has returned
// nothing may be handed over, every generation seen is stale, and the
// single play's end never follows a stop.
TEST(PlaybackScheduler, StopFromAnotherThreadAtAnyMomentIsFinal) {
  std::mt19937 rng(20240611);
  int stopped_before_end = 0, ended_before_stop = 0;
  for (int round = 0; round < 3000; ++round) {
    FakeTimer timer(Time{0}, /*free_running=*/true);
    std::atomic<bool> stop_returned{false};
    std::atomic<int> late{0}, events{0}, finishes{0};
    std::atomic<std::uint64_t> seen_generation{0};
    auto seen = [&](std::uint64_t gen, std::atomic<int>& counter) {
      if (stop_returned.load()) ++late;
      seen_generation.store(gen);
      ++counter;
    };
    PlaybackScheduler scheduler(
        timer, [&](std::uint64_t gen, std::uint32_t) { seen(gen, events); },
        [&](std::uint64_t gen) { seen(gen, finishes); });
    const bool loop = round % 2 == 0;
    const auto count = static_cast<int>(1 + rng() % 4);
    const int spins = static_cast<int>(rng() % 20000);

    ASSERT_TRUE(scheduler.Start(
        std::vector<PerformanceEvent>(count, PerformanceEvent{0, kKeyDown, 0x1E0000u, 0}), loop));
    std::thread stopper([&] {
      // Busy, not yielding: on a loaded machine a yield can cost a time slice.
      std::atomic<int> busy{0};
      for (int i = 0; i < spins; ++i) busy.fetch_add(1, std::memory_order_relaxed);
      scheduler.Stop();
      stop_returned.store(true);
    });
    stopper.join();

    const int events_at_stop = events.load();
    const std::uint64_t gen = seen_generation.load();
    EXPECT_EQ(late.load(), 0) << "round " << round;
    EXPECT_FALSE(scheduler.Running());
    EXPECT_TRUE(gen == 0 || !scheduler.IsCurrent(gen));
    EXPECT_LE(finishes.load(), 1);
    if (!loop && finishes.load() == 1) {
      EXPECT_EQ(events_at_stop, count) << "every event before the end";
      ++ended_before_stop;
    } else {
      ++stopped_before_end;
    }
    scheduler.Stop();
    EXPECT_EQ(events.load(), events_at_stop);
  }
  // Both orders happened, or the rounds tested less than they claim.
  EXPECT_GT(stopped_before_end, 0);
  EXPECT_GT(ended_before_stop, 0);
}

// The real clock, only to prove the wiring: events in order, never before
// their due time, and the single play ends by itself.
TEST(PlaybackScheduler, RealClockPlaysInOrderNeverEarly) {
  SteadyPlaybackTimer timer;
  std::mutex mutex;
  std::vector<Handover> log;
  std::promise<void> ended;
  auto add = [&](Handover h) {
    std::lock_guard<std::mutex> lock(mutex);
    log.push_back(h);
    if (h.finished) ended.set_value();
  };
  PlaybackScheduler scheduler(
      timer,
      [&](std::uint64_t gen, std::uint32_t i) {
        add({false, gen, i, timer.Now()});
      },
      [&](std::uint64_t gen) {
        add({true, gen, 0, timer.Now()});
      });
  ASSERT_TRUE(scheduler.Start(WithDelays({30, 0, 20}), false));
  const Time start = scheduler.RunStart();
  ASSERT_EQ(ended.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  std::lock_guard<std::mutex> lock(mutex);
  ASSERT_EQ(log.size(), 4u);
  const std::int64_t due[] = {30, 35, 55};
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(log[i].finished);
    EXPECT_EQ(log[i].index, i);
    EXPECT_GE(log[i].at - start, Ms(due[i]));
  }
  EXPECT_TRUE(log[3].finished);
  EXPECT_LT(log[3].at - start, std::chrono::seconds(5));
  scheduler.Stop();
}

TEST(SteadyPlaybackTimer, InterruptWakesASleeperAndHoldsUntilResumed) {
  SteadyPlaybackTimer timer;
  std::atomic<int> result{-1};
  std::thread sleeper([&] { result = timer.SleepUntil(timer.Now() + std::chrono::hours(1)); });
  timer.Interrupt();
  sleeper.join();  // a broken interrupt hangs here until the test times out
  EXPECT_EQ(result.load(), 0);
  EXPECT_FALSE(timer.SleepUntil(timer.Now() + std::chrono::hours(1)));
  timer.Resume();
  EXPECT_TRUE(timer.SleepUntil(timer.Now() + Ms(2)));
  EXPECT_TRUE(timer.SleepUntil(timer.Now() - Ms(2)));
}

}  // namespace
}  // namespace tonvale
