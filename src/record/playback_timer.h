// The time and the waiting of the playback scheduler, behind a seam so that
// tests can drive the scheduler with a clock of their own.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tonvale {

class PlaybackTimer {
 public:
  using Time = std::chrono::nanoseconds;  // on a monotonic time line

  virtual ~PlaybackTimer() = default;
  virtual Time Now() = 0;
  // Blocks until Now() >= due (true) or until Interrupt() (false). Called by
  // the scheduler's thread only.
  virtual bool SleepUntil(Time due) = 0;
  // From any thread: the current sleep and every later one return false at
  // once, until Resume().
  virtual void Interrupt() = 0;
  // Called before a new run starts, when no thread sleeps.
  virtual void Resume() = 0;
  // Called first thing on each new scheduler thread.
  virtual void PrepareThread() {}
};

// The steady clock. It sleeps until shortly before the due time and spins
// for the rest, so that handovers land well within a millisecond of their
// due time without a busy core between events. Where allowed, the
// scheduler's thread gets real-time priority, so that other work on a busy
// machine cannot push a handover back by a whole time slice.
class SteadyPlaybackTimer : public PlaybackTimer {
 public:
  static constexpr Time kDefaultSpinMargin = std::chrono::microseconds(1000);

  explicit SteadyPlaybackTimer(Time spin_margin = kDefaultSpinMargin, bool realtime = true)
      : spin_margin_(spin_margin), realtime_(realtime) {}

  Time Now() override;
  bool SleepUntil(Time due) override;
  void Interrupt() override;
  void Resume() override;
  void PrepareThread() override;

 private:
  const Time spin_margin_;
  const bool realtime_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> interrupted_{false};
};

}  // namespace tonvale
