// Messages for a synthesizer that reads an instrument's samples from disk
// when a program change selects it. The read takes tens of milliseconds for
// a large soundfont, more when the file is not in the page cache: too long
// for the window's thread. So program changes are played on a thread of
// their own, and every message sent while one is being played waits behind
// it, in order: the change still takes effect before the next note, which
// is late rather than silent or on the old instrument. Anything else is
// played at once on the sender's thread.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace tonvale {

class LoadingQueue {
 public:
  // Messages that can wait behind a program change; a sender that finds the
  // queue full waits for room rather than lose a note-off.
  static constexpr std::size_t kCapacity = 1024;

  // `play` plays one packed short message on the synthesizer.
  explicit LoadingQueue(std::function<void(std::uint32_t)> play);
  // Plays what is waiting, then ends the thread.
  ~LoadingQueue();
  LoadingQueue(const LoadingQueue&) = delete;
  LoadingQueue& operator=(const LoadingQueue&) = delete;

  // Plays `packed` now, or queues it behind a program change. Never
  // allocates.
  void Send(std::uint32_t packed);
  // Returns once every message sent so far has been played.
  void Drain();

 private:
  void Serve(std::stop_token stop);

  const std::function<void(std::uint32_t)> play_;
  std::mutex mutex_;
  std::condition_variable_any changed_;
  std::array<std::uint32_t, kCapacity> ring_{};
  std::size_t head_ = 0;   // the next to play
  std::size_t count_ = 0;  // waiting
  bool busy_ = false;      // the thread is playing one it took off the queue
  std::jthread thread_;    // last: stops before the rest goes
};

}  // namespace tonvale
