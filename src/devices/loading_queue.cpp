#include "devices/loading_queue.h"

namespace tonvale {
namespace {

bool IsProgramChange(std::uint32_t packed) {
  return (packed & 0xF0) == 0xC0;
}

}  // namespace

LoadingQueue::LoadingQueue(std::function<void(std::uint32_t)> play)
    : play_(std::move(play)), thread_([this](std::stop_token stop) { Serve(stop); }) {}

LoadingQueue::~LoadingQueue() {
  Drain();
}

void LoadingQueue::Send(std::uint32_t packed) {
  {
    std::unique_lock lock(mutex_);
    if (count_ == 0 && !busy_ && !IsProgramChange(packed)) {
      // Nothing ahead of it: played here, at once. The thread stays idle
      // until the next message is queued, and only this call queues.
      lock.unlock();
      play_(packed);
      return;
    }
    changed_.wait(lock, [&] { return count_ < kCapacity; });
    ring_[(head_ + count_) % kCapacity] = packed;
    ++count_;
  }
  changed_.notify_all();
}

void LoadingQueue::Drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return count_ == 0 && !busy_; });
}

void LoadingQueue::Serve(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  while (true) {
    if (!changed_.wait(lock, stop, [&] { return count_ > 0; })) return;
    const std::uint32_t packed = ring_[head_];
    head_ = (head_ + 1) % kCapacity;
    --count_;
    busy_ = true;
    lock.unlock();
    changed_.notify_all();  // room for a sender that found the queue full
    play_(packed);
    lock.lock();
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace tonvale
