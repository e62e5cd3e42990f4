#include "record/playback_scheduler.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace tonvale {

namespace {

// The scheduler whose thread this is, so that Stop() from a callback does
// not try to join its own thread.
thread_local const PlaybackScheduler* tls_own_scheduler = nullptr;

}  // namespace

PlaybackScheduler::PlaybackScheduler(PlaybackTimer& timer, EventHandover on_event,
                                     PlayFinished on_finished)
    : timer_(timer), on_event_(std::move(on_event)), on_finished_(std::move(on_finished)) {}

PlaybackScheduler::~PlaybackScheduler() {
  Stop();
}

bool PlaybackScheduler::Start(const std::vector<PerformanceEvent>& events, bool loop) {
  if (tls_own_scheduler == this) return false;
  std::lock_guard<std::mutex> lock(control_);
  StopLocked();
  if (events.empty() || events.size() > 0xFFFFFFFFu) return false;

  Plan plan;
  plan.loop = loop;
  try {
    plan.intervals.reserve(events.size());
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (const PerformanceEvent& ev : events) {
    plan.intervals.push_back(std::chrono::milliseconds(std::max(ev.delta_ms, kMinSpacingMs)));
  }

  stop_requested_.store(false, std::memory_order_release);
  timer_.Resume();
  plan.generation = ++last_generation_;
  plan.start = timer_.Now();
  const std::uint64_t generation = plan.generation;
  const PlaybackTimer::Time start = plan.start;
  current_.store(generation, std::memory_order_release);
  try {
    thread_ = std::thread(&PlaybackScheduler::Run, this, std::move(plan));
  } catch (const std::system_error&) {
    current_.store(0, std::memory_order_release);
    return false;
  }
  running_ = true;
  run_start_ = start;
  return true;
}

void PlaybackScheduler::Stop() {
  if (tls_own_scheduler == this) {
    stop_requested_.store(true, std::memory_order_release);
    current_.store(0, std::memory_order_release);
    timer_.Interrupt();
    return;
  }
  std::lock_guard<std::mutex> lock(control_);
  StopLocked();
}

void PlaybackScheduler::StopLocked() {
  if (!running_) {
    // A thread left by a Stop() from inside a callback.
    if (thread_.joinable()) thread_.join();
    return;
  }
  stop_requested_.store(true, std::memory_order_release);
  current_.store(0, std::memory_order_release);
  timer_.Interrupt();
  if (thread_.joinable()) thread_.join();
  running_ = false;
}

bool PlaybackScheduler::IsCurrent(std::uint64_t generation) const {
  return generation != 0 && generation == current_.load(std::memory_order_acquire);
}

bool PlaybackScheduler::Running() const {
  std::lock_guard<std::mutex> lock(control_);
  return running_;
}

PlaybackTimer::Time PlaybackScheduler::RunStart() const {
  std::lock_guard<std::mutex> lock(control_);
  return run_start_;
}

void PlaybackScheduler::Run(Plan plan) {
  tls_own_scheduler = this;
  timer_.PrepareThread();
  const std::size_t count = plan.intervals.size();
  PlaybackTimer::Time due = plan.start;
  std::size_t pos = 0;
  for (;;) {
    due += plan.intervals[pos];
    if (!timer_.SleepUntil(due)) return;
    if (stop_requested_.load(std::memory_order_acquire)) return;
    if (on_event_) on_event_(plan.generation, static_cast<std::uint32_t>(pos));
    if (++pos < count) continue;
    if (!plan.loop) {
      if (on_finished_ && !stop_requested_.load(std::memory_order_acquire)) {
        on_finished_(plan.generation);
      }
      return;
    }
    pos = 0;
  }
}

}  // namespace tonvale
