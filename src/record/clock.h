// The millisecond clock that stamps recorded events. Readings are unsigned
// 32-bit and wrap; differences are taken unsigned so they survive the wrap.
#pragma once

#include <chrono>
#include <cstdint>

namespace tonvale {

class MillisecondClock {
 public:
  virtual ~MillisecondClock() = default;
  virtual std::uint32_t NowMs() = 0;
};

// Milliseconds of the monotonic clock, cut to 32 bits.
class SteadyMillisecondClock : public MillisecondClock {
 public:
  std::uint32_t NowMs() override {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
};

// A clock that only moves when told to: tests and offline tools.
class SettableMillisecondClock : public MillisecondClock {
 public:
  explicit SettableMillisecondClock(std::uint32_t start = 0) : now_(start) {}
  std::uint32_t NowMs() override { return now_; }
  void Set(std::uint32_t ms) { now_ = ms; }
  void Advance(std::uint32_t ms) { now_ += ms; }  // wraps like the real one

 private:
  std::uint32_t now_;
};

}  // namespace tonvale
