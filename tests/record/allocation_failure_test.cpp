// Running out of memory while recording or copying for playback: this
// program replaces the global operator new so that a test can make the next
// allocation on its own thread fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "perform/instrument.h"
#include "record/event_lists.h"
#include "record/transport.h"

namespace {
thread_local int g_fail_next = 0;
}  // namespace

// GCC pairs the library's new with our delete when inlining and warns; both
// are replaced here, so they match.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
  if (g_fail_next > 0) {
    --g_fail_next;
    throw std::bad_alloc();
  }
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace tonvale {
namespace {

TEST(OutOfMemory, AnAppendThatCannotGrowTheListDropsOnlyThatEvent) {
  RecordingList rec;
  bool modified = false;
  BeginRecording(rec, 1000);
  g_fail_next = 1;
  EXPECT_EQ(AppendEvent(rec, modified, kKeyDown, 0x001E0001u, 0, 1100), AppendResult::kDropped);
  EXPECT_EQ(rec.recording_count(), 0u);
  EXPECT_EQ(rec.last_event_time, 1000u);
  EXPECT_FALSE(modified) << "nothing was recorded";

  ASSERT_EQ(AppendEvent(rec, modified, kKeyDown, 0x001E0001u, 0, 1200), AppendResult::kAppended);
  ASSERT_EQ(rec.recording_events.capacity(), 1u);
  EXPECT_TRUE(modified);
  g_fail_next = 1;
  EXPECT_EQ(AppendEvent(rec, modified, kKeyUp, 0xC01E0001u, 0, 1300), AppendResult::kDropped);
  ASSERT_EQ(rec.recording_count(), 1u);
  EXPECT_EQ(rec.recording_events[0], (PerformanceEvent{200, kKeyDown, 0x001E0001u, 0}));
  EXPECT_EQ(rec.last_event_time, 1200u);
  // The next event counts from the last one kept.
  ASSERT_EQ(AppendEvent(rec, modified, kKeyUp, 0xC01E0001u, 0, 1350), AppendResult::kAppended);
  EXPECT_EQ(rec.recording_events[1].delta_ms, 150u);
}

class Window : public TransportView {
 public:
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

TEST(OutOfMemory, StopRecordingKeepsTheRecordingButOffersNothingToPlay) {
  Window window;
  Instrument inst;
  inst.settings.device_open = 1;
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  SettableMillisecondClock clock(0);
  Transport transport(window, inst, rec, play, modified, clock);

  // A first recording is copied; the second copy fails and leaves the
  // playback list empty, not holding the first recording.
  for (std::uint32_t take = 0; take < 2; ++take) {
    ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_START));
    clock.Advance(50);
    RecordKeyEvent(rec, modified, clock, kKeyDown, 0x001E0001u + take, 0);
    g_fail_next = static_cast<int>(take);
    ASSERT_TRUE(transport.HandleCommand(IDM_RECORD_STOP));
    EXPECT_EQ(window.error.empty(), take == 0);
  }
  EXPECT_EQ(window.error, "内存分配错误.|错误");
  EXPECT_EQ(transport.state(), TransportState::kReady);
  EXPECT_EQ(rec.recording_events, (std::vector<PerformanceEvent>{{50, kKeyDown, 0x001E0002u, 0}}));
  EXPECT_EQ(play.playback_count(), 0u);
  // Ready without play: the transport's items, which the window shows.
  const ItemStates items = transport.Items();
  for (std::int32_t id : kTransportMenuItems) {
    const bool on =
        id != IDM_RECORD_STOP && id != IDM_PLAY && id != IDM_PLAY_LOOP && id != IDM_PLAY_STOP;
    EXPECT_EQ(items.MenuEnabled(id), on) << id;
    EXPECT_EQ(items.ButtonEnabled(id), on && id == IDM_RECORD_START) << id;
  }
  // Neither the menu nor the autoplay timer can start an empty playback.
  EXPECT_FALSE(transport.HandleCommand(IDM_PLAY));
  EXPECT_FALSE(transport.HandleCommand(IDM_PLAY_LOOP));
  EXPECT_EQ(window.starts, 0);
}

}  // namespace
}  // namespace tonvale
