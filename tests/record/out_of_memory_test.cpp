// Running out of memory while recording or copying for playback. This program
// replaces the global operator new so that the next allocations can fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "record/event_lists.h"
#include "record/transport.h"

namespace {
int g_fail_next = 0;
}  // namespace

// GCC pairs the library's new with our delete when inlining and warns; both
// are replaced here, so they match.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (g_fail_next > 0 && --g_fail_next == 0) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace tonvale {
namespace {

struct Window : TransportView {
  void EnableMenuItem(std::int32_t, bool) override {}
  void EnableButton(std::int32_t, bool) override {}
  void ShowNotice(std::string_view, std::string_view) override {}
  void ShowError(std::string_view text, std::string_view caption) override {
    error = std::string(text) + "|" + std::string(caption);
  }
  void Repaint() override {}
  void StartScheduler(bool) override { ++starts; }
  void StopScheduler() override {}
  std::string error;
  int starts = 0;
};

TEST(OutOfMemory, AFailedAppendDropsOnlyItsEventAndAFailedCopyOffersNothingToPlay) {
  Window window;
  Instrument inst;
  inst.settings.device_open = 1;
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  SettableMillisecondClock clock(1000);
  Transport transport(window, inst, rec, play, modified, clock);

  // A first take is recorded and copied for playback.
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  clock.Advance(50);
  ASSERT_EQ(RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001E0001u, 0),
            AppendResult::kAppended);
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
  ASSERT_EQ(play.playback_count(), 1u);

  // The second take: its first event cannot grow the list and is dropped,
  // leaving the time base where it was; the next one counts from there.
  modified = false;
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
  clock.Advance(100);
  g_fail_next = 1;
  EXPECT_EQ(RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001E0001u, 0), AppendResult::kDropped);
  EXPECT_EQ(rec.recording_count(), 0u);
  EXPECT_FALSE(modified) << "nothing was recorded";
  clock.Advance(20);
  ASSERT_EQ(RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001F0001u, 0),
            AppendResult::kAppended);
  EXPECT_EQ(rec.recording_events[0], (PerformanceEvent{120, kKeyDown, 0x001F0001u, 0}));

  // Its copy for playback fails: the recording is kept, the first take is
  // no longer offered, and nothing can be played.
  g_fail_next = 1;
  ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
  g_fail_next = 0;
  EXPECT_EQ(window.error, "内存分配错误.|错误");
  EXPECT_EQ(rec.recording_count(), 1u);
  EXPECT_EQ(play.playback_count(), 0u);
  EXPECT_FALSE(transport.Items().MenuEnabled(IDM_PLAY));
  EXPECT_FALSE(transport.HandleCommand(IDM_PLAY));
  EXPECT_FALSE(transport.HandleCommand(IDM_PLAY_LOOP));
  EXPECT_EQ(window.starts, 0);
}

}  // namespace
}  // namespace tonvale
