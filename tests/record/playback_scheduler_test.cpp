#include "record/playback_scheduler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <future>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "fake_playback_timer.h"
#include "perform/instrument.h"

namespace tonvale {
namespace {

using std::chrono::milliseconds;
using Time = PlaybackTimer::Time;
using test::FakePlaybackTimer;

// What the scheduler handed over, in the order it did, with the time of its
// timer at that moment.
struct Handover {
  bool finished;  // the end of a single play, else an event
  std::uint64_t generation;
  std::uint32_t index;
  Time at;
};

class Receiver {
 public:
  explicit Receiver(PlaybackTimer& timer) : timer_(timer) {}

  PlaybackScheduler::EventHandover OnEvent() {
    return [this](std::uint64_t gen, std::uint32_t index) {
      Add({false, gen, index, timer_.Now()});
    };
  }
  PlaybackScheduler::PlayFinished OnFinished() {
    return [this](std::uint64_t gen) { Add({true, gen, 0, timer_.Now()}); };
  }

  bool WaitFor(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return log_.size() >= count; });
  }
  std::vector<Handover> Log() {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }

 private:
  void Add(Handover h) {
    std::lock_guard<std::mutex> lock(mutex_);
    log_.push_back(h);
    changed_.notify_all();
  }

  PlaybackTimer& timer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Handover> log_;
};

std::vector<PerformanceEvent> WithDelays(std::initializer_list<std::uint32_t> delays) {
  std::vector<PerformanceEvent> events;
  std::int32_t message = kKeyDown;
  for (std::uint32_t d : delays) {
    events.push_back({d, message, 0x001E0001u, 0});
    message = message == kKeyDown ? kKeyUp : kKeyDown;
  }
  return events;
}

Time Ms(std::int64_t ms) {
  return milliseconds(ms);
}

// Walks the scheduler through every due time it asks for, arriving exactly
// on time, and checks the due times against `expected` (absolute ms).
void StepThrough(FakePlaybackTimer& timer, const std::vector<std::int64_t>& expected) {
  for (std::int64_t ms : expected) {
    const auto due = timer.NextSleep();
    ASSERT_TRUE(due.has_value()) << "scheduler never asked to wait for " << ms;
    EXPECT_EQ(*due, Ms(ms));
    timer.SetNow(*due);
  }
}

TEST(PlaybackScheduler, SinglePlayKeepsDelaysWithFiveMsFloorAndEndsAfterLastEvent) {
  FakePlaybackTimer timer(Ms(1000));
  Receiver rx(timer);
  PlaybackScheduler scheduler(timer, rx.OnEvent(), rx.OnFinished());

  // First event waits its own delay; 0 and 3 become 5; 7 and 5 stay.
  ASSERT_TRUE(scheduler.Start(WithDelays({1200, 0, 3, 7, 5}), false));
  const std::uint64_t gen = scheduler.CurrentGeneration();
  EXPECT_NE(gen, 0u);
  EXPECT_EQ(scheduler.RunStart(), Ms(1000));
  StepThrough(timer, {2200, 2205, 2210, 2217, 2222});
  ASSERT_TRUE(rx.WaitFor(6));

  const std::vector<Handover> log = rx.Log();
  ASSERT_EQ(log.size(), 6u);
  for (std::uint32_t i = 0; i < 5; ++i) {
    EXPECT_FALSE(log[i].finished);
    EXPECT_EQ(log[i].index, i);
    EXPECT_EQ(log[i].generation, gen);
  }
  const std::int64_t at[] = {2200, 2205, 2210, 2217, 2222};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(log[static_cast<std::size_t>(i)].at, Ms(at[i]));
  // The stop request comes after the last event, and still counts.
  EXPECT_TRUE(log[5].finished);
  EXPECT_EQ(log[5].generation, gen);
  EXPECT_EQ(log[5].at, Ms(2222));
  EXPECT_TRUE(scheduler.IsCurrent(gen));
  EXPECT_TRUE(scheduler.Running());
  EXPECT_EQ(timer.SleepCount(), 5u);  // nothing armed after the end

  // The window's stop command: the run is over, late queued handovers stale.
  scheduler.Stop();
  EXPECT_FALSE(scheduler.Running());
  EXPECT_FALSE(scheduler.IsCurrent(gen));

  // A lone press with no delay still waits 5 ms, then the play ends; three
  // keys struck together play 5 ms apart.
  ASSERT_TRUE(scheduler.Start(WithDelays({0}), false));
  StepThrough(timer, {2227});
  ASSERT_TRUE(rx.WaitFor(8));
  ASSERT_TRUE(scheduler.Start(WithDelays({400, 0, 0}), false));
  StepThrough(timer, {2627, 2632, 2637});
  ASSERT_TRUE(rx.WaitFor(12));
  const auto more = rx.Log();
  EXPECT_EQ(more[6].at, Ms(2227));
  EXPECT_TRUE(more[7].finished);
  EXPECT_EQ(more[8].at, Ms(2627));
  EXPECT_EQ(more[9].at, Ms(2632));
  EXPECT_EQ(more[10].at, Ms(2637));
  EXPECT_TRUE(more[11].finished);
  scheduler.Stop();
}

TEST(PlaybackScheduler, LoopRepeatsWithFirstDelayBetweenPassesUntilStopped) {
  FakePlaybackTimer timer;
  Receiver rx(timer);
  PlaybackScheduler scheduler(timer, rx.OnEvent(), rx.OnFinished());

  ASSERT_TRUE(scheduler.Start(WithDelays({300, 100, 50}), true));
  const std::uint64_t gen = scheduler.CurrentGeneration();
  StepThrough(timer, {300, 400, 450, 750, 850, 900, 1200});
  ASSERT_TRUE(rx.WaitFor(7));
  ASSERT_TRUE(timer.NextSleep().has_value());  // waiting for the next one
  scheduler.Stop();
  EXPECT_FALSE(scheduler.IsCurrent(gen));

  const auto log = rx.Log();
  ASSERT_EQ(log.size(), 7u);
  const std::uint32_t indexes[] = {0, 1, 2, 0, 1, 2, 0};
  for (std::size_t i = 0; i < log.size(); ++i) {
    EXPECT_FALSE(log[i].finished) << "a loop never ends by itself";
    EXPECT_EQ(log[i].index, indexes[i]);
  }

  // A first delay of 0 still separates the passes by 5 ms.
  ASSERT_TRUE(scheduler.Start(WithDelays({0, 10}), true));
  StepThrough(timer, {1205, 1215, 1220, 1230, 1235});
  ASSERT_TRUE(rx.WaitFor(12));
  scheduler.Stop();
}

TEST(PlaybackScheduler, LateHandoversDoNotShiftLaterDueTimes) {
  FakePlaybackTimer timer;
  Receiver rx(timer);
  PlaybackScheduler scheduler(timer, rx.OnEvent(), rx.OnFinished());

  ASSERT_TRUE(scheduler.Start(WithDelays({10, 10, 10, 10, 10, 10}), false));
  // Each wake-up comes 4 ms late; the plan stays on its time line.
  for (std::int64_t ms : {10, 20, 30}) {
    const auto due = timer.NextSleep();
    ASSERT_TRUE(due.has_value());
    EXPECT_EQ(*due, Ms(ms));
    timer.SetNow(*due + Ms(4));
  }
  // A long stall: the events already due follow at once, on their own times.
  const auto due = timer.NextSleep();
  ASSERT_TRUE(due.has_value());
  EXPECT_EQ(*due, Ms(40));
  timer.SetNow(Ms(75));
  for (std::int64_t ms : {50, 60}) {
    const auto next = timer.NextSleep();
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(*next, Ms(ms));
  }
  ASSERT_TRUE(rx.WaitFor(7));
  EXPECT_TRUE(rx.Log()[6].finished);
  scheduler.Stop();
}

TEST(PlaybackScheduler, StopIsFinalAndStopWhenIdleDoesNothing) {
  FakePlaybackTimer timer;
  Receiver rx(timer);
  PlaybackScheduler scheduler(timer, rx.OnEvent(), rx.OnFinished());

  scheduler.Stop();  // never started
  EXPECT_EQ(timer.Interrupts(), 0);
  EXPECT_FALSE(scheduler.Start({}, false)) << "an empty list has no event 0";
  EXPECT_FALSE(scheduler.Running());
  EXPECT_EQ(timer.SleepCount(), 0u);

  ASSERT_TRUE(scheduler.Start(WithDelays({20, 20}), true));
  const std::uint64_t first = scheduler.CurrentGeneration();
  StepThrough(timer, {20});
  ASSERT_TRUE(rx.WaitFor(1));
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
  EXPECT_EQ(rx.Log().size(), 1u);
  EXPECT_EQ(timer.SleepCount(), sleeps);

  // A new run is a new generation; starting stops the one in progress.
  ASSERT_TRUE(scheduler.Start(WithDelays({20, 20}), true));
  const std::uint64_t second = scheduler.CurrentGeneration();
  EXPECT_NE(second, first);
  EXPECT_FALSE(scheduler.IsCurrent(first));
  ASSERT_TRUE(timer.NextSleep().has_value());
  ASSERT_TRUE(scheduler.Start(WithDelays({30}), false));
  EXPECT_FALSE(scheduler.IsCurrent(second));
  const auto due = timer.NextSleep();
  ASSERT_TRUE(due.has_value());
  EXPECT_EQ(*due, Ms(10030));
  timer.SetNow(*due);
  ASSERT_TRUE(rx.WaitFor(3));
  const auto log = rx.Log();
  EXPECT_EQ(log[1].index, 0u);
  EXPECT_EQ(log[1].generation, scheduler.CurrentGeneration());
  EXPECT_TRUE(log[2].finished);
  scheduler.Stop();
}

TEST(PlaybackScheduler, StopFromInsideAHandoverEndsTheRunWithoutDeadlock) {
  FakePlaybackTimer timer(Time{0}, /*free_running=*/true);
  PlaybackScheduler* self = nullptr;
  std::atomic<int> events{0};
  std::atomic<int> finishes{0};
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
  int stopped_before_end = 0;
  int ended_before_stop = 0;
  for (int round = 0; round < 3000; ++round) {
    FakePlaybackTimer timer(Time{0}, /*free_running=*/true);
    std::atomic<bool> stop_returned{false};
    std::atomic<int> late{0};
    std::atomic<int> events{0};
    std::atomic<int> finishes{0};
    std::atomic<std::uint64_t> seen_generation{0};
    PlaybackScheduler scheduler(
        timer,
        [&](std::uint64_t gen, std::uint32_t) {
          if (stop_returned.load()) ++late;
          seen_generation.store(gen);
          ++events;
        },
        [&](std::uint64_t gen) {
          if (stop_returned.load()) ++late;
          seen_generation.store(gen);
          ++finishes;
        });
    const bool loop = round % 2 == 0;
    const auto count = static_cast<std::uint32_t>(1 + rng() % 4);
    std::vector<PerformanceEvent> events_list(count, PerformanceEvent{0, kKeyDown, 0x1E0000u, 0});
    const int spins = static_cast<int>(rng() % 20000);

    ASSERT_TRUE(scheduler.Start(events_list, loop));
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
    if (gen != 0) {
      EXPECT_FALSE(scheduler.IsCurrent(gen));
    }
    EXPECT_LE(finishes.load(), 1);
    if (!loop && finishes.load() == 1) {
      EXPECT_EQ(events_at_stop, static_cast<int>(count)) << "every event before the end";
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

// The real clock, only to prove the wiring: events come in order, never
// before their due time, and the single play ends by itself.
TEST(PlaybackScheduler, RealClockPlaysInOrderNeverEarly) {
  SteadyPlaybackTimer timer;
  Receiver rx(timer);
  PlaybackScheduler scheduler(timer, rx.OnEvent(), rx.OnFinished());
  ASSERT_TRUE(scheduler.Start(WithDelays({30, 0, 20}), false));
  const Time start = scheduler.RunStart();
  ASSERT_TRUE(rx.WaitFor(4));
  const auto log = rx.Log();
  const std::int64_t due[] = {30, 35, 55};
  for (std::size_t i = 0; i < 3; ++i) {
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
  EXPECT_TRUE(timer.SleepUntil(timer.Now() + milliseconds(2)));
  EXPECT_TRUE(timer.SleepUntil(timer.Now() - milliseconds(2)));
}

}  // namespace
}  // namespace tonvale
