#include "record/playback_timer.h"

#include "record/realtime_priority.h"

namespace tonvale {

PlaybackTimer::Time SteadyPlaybackTimer::Now() {
  return std::chrono::duration_cast<Time>(std::chrono::steady_clock::now().time_since_epoch());
}

bool SteadyPlaybackTimer::SleepUntil(Time due) {
  {
    const std::chrono::steady_clock::time_point wake_at(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(due - spin_margin_));
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_until(lock, wake_at, [this] { return interrupted_.load(); });
  }
  // The last stretch: a sleep may overshoot by more than we can afford.
  while (!interrupted_.load(std::memory_order_acquire)) {
    if (Now() >= due) return true;
    // Spinning, not yielding: a yield on a busy machine can cost a time slice.
  }
  return false;
}

void SteadyPlaybackTimer::Interrupt() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    interrupted_.store(true, std::memory_order_release);
  }
  wake_.notify_all();
}

void SteadyPlaybackTimer::Resume() {
  std::lock_guard<std::mutex> lock(mutex_);
  interrupted_.store(false, std::memory_order_release);
}

void SteadyPlaybackTimer::PrepareThread() {
  if (realtime_) RaiseCurrentThreadToRealtime();
}

}  // namespace tonvale
