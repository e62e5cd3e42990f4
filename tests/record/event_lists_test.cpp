#include "record/event_lists.h"

#include <gtest/gtest.h>

#include "perform_fixture.h"

namespace tonvale {
namespace {

using namespace test;
using Events = std::vector<PerformanceEvent>;

// Recording through the real key handler, as the window's hooks do it.
struct Recorder : Player {
  void RecordKeyEvent(std::int32_t message, std::uint32_t key_data, std::int32_t s) override {
    tonvale::RecordKeyEvent(list, modified, clock, message, key_data, s);
  }
  SettableMillisecondClock clock{5000};
  RecordingList list;
  bool modified = false;
};

TEST(EventLists, KeysRecordedThroughTheKeyHandler) {
  Recorder r;
  // A key held before recording starts: its release sounds, unrecorded.
  r.Play("+S");
  BeginRecording(r.list, r.clock.NowMs());
  r.clock.Advance(40);
  r.Play("-S");
  EXPECT_FALSE(r.modified);
  // Key A 1200 ms after the start, released 300 ms later, not its repeats;
  // the mouse gives the key index alone. Shift at the first key of a group
  // raises the chord; the releases carry it although Shift is up by then.
  r.clock.Advance(1160);
  r.Play("+A *A");
  r.clock.Advance(300);
  r.Play("-A +m -m shift +A none +D -A -D ctrl +F");
  r.clock.Set(0x20);  // across the wrap of the 32-bit clock
  r.Play("-F");
  EXPECT_TRUE(r.modified);
  const Events expected = {{1200, 256, Press(30), 0}, {300, 257, Release(30), 0},
                           {0, 256, 30 << 16, 0},     {0, 257, 30 << 16, 0},
                           {0, 256, Press(30), 1},    {0, 256, Press(32), 1},
                           {0, 257, Release(30), 1},  {0, 257, Release(32), 1},
                           {0, 256, Press(33), -1},   {0x20u - 6500u, 257, Release(33), -1}};
  EXPECT_EQ(r.list.recording_events, expected);
  EXPECT_EQ(r.Notes().size(), 12u) << "every key sounded";
}

TEST(EventLists, NewRecordingsLoadsAndThePlaybackCopyStaySeparate) {
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  BeginRecording(rec, 100);
  ASSERT_EQ(AppendEvent(rec, modified, kKeyDown, Press(30), 0, 150), AppendResult::kAppended);
  ASSERT_TRUE(EndRecording(rec, play));
  EXPECT_EQ(AppendEvent(rec, modified, kKeyUp, Release(30), 0, 200), AppendResult::kNotRecording);
  const Events copy = {{50, kKeyDown, Press(30), 0}};
  // Neither a load nor a new recording touches the copy; the recording's
  // old array is released at once.
  ASSERT_TRUE(ReplaceRecording(rec, {{7, kKeyDown, Press(31), -1}}));
  BeginRecording(rec, 5000);
  EXPECT_EQ(rec.recording_events.capacity(), 0u);
  EXPECT_EQ(play.playback_events, copy);
  ASSERT_TRUE(EndRecording(rec, play));
  EXPECT_EQ(play.playback_count(), 0u);
  EXPECT_TRUE(CanAppend(0xFFFFFFFEu));  // a list is full at the largest 32-bit count
  EXPECT_FALSE(CanAppend(0xFFFFFFFFu));
}

}  // namespace
}  // namespace tonvale
