// Plays the playback list with its recorded timing on a thread of its own:
// waits each event's delta and hands the due event's index to the window,
// once or in an endless loop.
//
// Timing: every event is due at the previous event's due time plus its
// delta_ms, but at least kMinSpacingMs later; the first event counts from
// Start(). Due times lie on one monotonic time line, so a late handover
// does not push the later ones back. In a loop the first event's delta
// separates the passes.
//
// Handovers carry the generation of their run. Stop() ends the run for
// good: when it returns, its thread is joined, nothing more is handed over,
// and IsCurrent() is false for every generation handed out before, so the
// receiver can drop handovers it has queued but not yet handled.
//
// The callbacks run on the scheduler's thread. They must only queue work
// for the window thread and return; they must never wait for the window
// thread, which may at that moment be joining the scheduler in Stop().
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "record/performance_event.h"
#include "record/playback_timer.h"

namespace tonvale {

class PlaybackScheduler {
 public:
  // Event `index` of the list given to Start() is due.
  using EventHandover = std::function<void(std::uint64_t generation, std::uint32_t index)>;
  // A single play handed over its last event; the window should give the
  // stop-playing command. Comes after the last event's handover.
  using PlayFinished = std::function<void(std::uint64_t generation)>;

  static constexpr std::uint32_t kMinSpacingMs = 5;

  PlaybackScheduler(PlaybackTimer& timer, EventHandover on_event, PlayFinished on_finished);
  ~PlaybackScheduler();  // stops
  PlaybackScheduler(const PlaybackScheduler&) = delete;
  PlaybackScheduler& operator=(const PlaybackScheduler&) = delete;

  // Ends any run in progress, then plays `events` (their delays are copied;
  // the indexes handed over refer to this list). Returns false, with nothing
  // running, for an empty list, when called from the scheduler's own
  // callbacks, or when no thread or memory can be had.
  bool Start(const std::vector<PerformanceEvent>& events, bool loop);

  // Ends the run: from the controlling thread it waits for the scheduler's
  // thread to finish. Does nothing when nothing runs. From inside a
  // callback it only makes sure nothing more is handed over (the thread ends
  // when the callback returns; a later Stop() or Start() joins it).
  void Stop();

  // Whether handovers of `generation` still belong to the run in progress.
  // Any thread.
  bool IsCurrent(std::uint64_t generation) const;

  // A run was started and not stopped (it may have played to its end).
  bool Running() const;
  // Generation of the run in progress, 0 when none.
  std::uint64_t CurrentGeneration() const { return current_.load(std::memory_order_acquire); }
  // Time line origin of the run in progress: event 0 is due at this time
  // plus its delay.
  PlaybackTimer::Time RunStart() const;

 private:
  struct Plan {
    std::uint64_t generation = 0;
    bool loop = false;
    PlaybackTimer::Time start{};
    std::vector<PlaybackTimer::Time> intervals;  // per event, floor applied
  };

  void StopLocked();
  void Run(Plan plan);

  PlaybackTimer& timer_;
  const EventHandover on_event_;
  const PlayFinished on_finished_;

  mutable std::mutex control_;  // Start/Stop and the fields below
  std::thread thread_;
  bool running_ = false;
  PlaybackTimer::Time run_start_{};
  std::uint64_t last_generation_ = 0;

  std::atomic<bool> stop_requested_{false};
  std::atomic<std::uint64_t> current_{0};
};

}  // namespace tonvale
