// A playback timer whose time only moves when the test says so. Every
// SleepUntil() is logged, so a test can walk the scheduler one due time at
// a time and see exactly which due times it asked for.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <vector>

#include "record/playback_timer.h"

namespace tonvale::test {

class FakePlaybackTimer : public PlaybackTimer {
 public:
  // With free_running set, every sleep returns at once with the time moved
  // to its due time: the scheduler runs as fast as it can.
  explicit FakePlaybackTimer(Time start = Time{0}, bool free_running = false)
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

  // Moves the time (never backwards) and wakes a sleeper that is due.
  void SetNow(Time t) {
    std::lock_guard<std::mutex> lock(mutex_);
    now_ = std::max(now_, t);
    changed_.notify_all();
  }

  // The due time of the next sleep not yet seen by the test; waits for it.
  // Nothing after `guard` (a hang guard, not a timing check).
  std::optional<Time> NextSleep(std::chrono::seconds guard = std::chrono::seconds(10)) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!changed_.wait_for(lock, guard, [&] { return sleeps_.size() > seen_; })) {
      return std::nullopt;
    }
    return sleeps_[seen_++];
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
};

}  // namespace tonvale::test
