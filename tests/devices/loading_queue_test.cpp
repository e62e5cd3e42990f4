#include "devices/loading_queue.h"

#include <gtest/gtest.h>

#include <future>
#include <semaphore>
#include <thread>

namespace tonvale {
namespace {

using namespace std::chrono_literals;

// Plays by noting each message and the thread it came on; a program change
// takes until the test lets it go, as a long read from disk would.
struct SlowSynth {
  std::mutex mutex;
  std::vector<std::pair<std::uint32_t, std::thread::id>> played;
  std::binary_semaphore reading{0};
  std::binary_semaphore read_done{0};

  void Play(std::uint32_t packed) {
    if ((packed & 0xF0) == 0xC0) {
      reading.release();
      read_done.acquire();
    }
    std::lock_guard lock(mutex);
    played.emplace_back(packed, std::this_thread::get_id());
  }
  std::vector<std::uint32_t> Messages() {
    std::lock_guard lock(mutex);
    std::vector<std::uint32_t> out;
    for (const auto& [packed, thread] : played) out.push_back(packed);
    return out;
  }
};

TEST(LoadingQueue, AProgramChangeIsReadAwayFromTheSenderAndWhatFollowsWaitsBehindIt) {
  SlowSynth synth;
  constexpr std::uint32_t kNoteOn = 0x7F3C90, kProgram = 0x28C0, kNoteOff = 0x3C80;
  {
    LoadingQueue queue([&](std::uint32_t packed) { synth.Play(packed); });
    queue.Send(kNoteOn);  // nothing ahead: played here and now
    ASSERT_EQ(synth.Messages(), std::vector{kNoteOn});
    EXPECT_EQ(synth.played[0].second, std::this_thread::get_id());

    // The sender goes on while the samples are read; the note waits for them.
    queue.Send(kProgram);
    synth.reading.acquire();
    queue.Send(kNoteOn);
    EXPECT_EQ(synth.Messages(), std::vector{kNoteOn});
    // A full queue holds its sender rather than drop a message.
    for (std::size_t i = 1; i < LoadingQueue::kCapacity; ++i) queue.Send(kNoteOff);
    auto last = std::async(std::launch::async, [&] { queue.Send(kProgram); });
    EXPECT_EQ(last.wait_for(50ms), std::future_status::timeout);
    synth.read_done.release();
    last.get();
    synth.reading.acquire();
    synth.read_done.release();  // the second program change
    queue.Drain();
    std::vector<std::uint32_t> expected{kNoteOn, kProgram, kNoteOn};
    expected.insert(expected.end(), LoadingQueue::kCapacity - 1, kNoteOff);
    expected.push_back(kProgram);
    EXPECT_EQ(synth.Messages(), expected);
    EXPECT_NE(synth.played[1].second, std::this_thread::get_id());

    // Drained, the queue plays at once again; what is left at the end is
    // played before the queue goes.
    queue.Send(kNoteOff);
    EXPECT_EQ(synth.Messages().size(), expected.size() + 1);
    queue.Send(kProgram);
    queue.Send(kNoteOn);
    synth.reading.acquire();
    synth.read_done.release();
  }
  const std::vector<std::uint32_t> all = synth.Messages();
  EXPECT_EQ(std::vector(all.end() - 3, all.end()), (std::vector{kNoteOff, kProgram, kNoteOn}));
}

}  // namespace
}  // namespace tonvale
