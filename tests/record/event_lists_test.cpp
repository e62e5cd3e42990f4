#include "record/event_lists.h"

#include <gtest/gtest.h>

#include "perform_fixture.h"
#include "record/play_event.h"

namespace tonvale {

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

  // Played back with the settings in force now (D major, channel 3) and the
  // recorded shifts, beside a live key; a key without a note and a foreign
  // message (a press) as a file may hold them. The live keyboard is left
  // alone.
  PlaybackList play;
  ASSERT_TRUE(EndRecording(r.list, play));
  play.playback_events.insert(play.playback_events.end(),
                              {{0, 256, Press(14), 0}, {0, 300, Press(34), 0}});
  r.inst.settings = {.device_open = 1, .channel = 3, .key_mode = 1298};
  r.Play("ctrl +S");
  r.sink.Clear();
  r.marks.clear();
  for (std::uint32_t i = 0; i < 12; ++i) EXPECT_TRUE(HandlePlayEvent(r.inst, play, i));
  EXPECT_FALSE(HandlePlayEvent(r.inst, play, 12));
  EXPECT_EQ(r.Notes(), (Sent{On(62, 3), Off(62, 3), On(62, 3), Off(62, 3), On(74, 3), On(78, 3),
                             Off(74, 3), Off(78, 3), On(55, 3), Off(55, 3), On(69, 3)}));
  EXPECT_EQ(r.marks[5], (Call{32, true, 1}));
  EXPECT_EQ(r.inst.keys.held_lowered, 1);
}

TEST(EventLists, NewRecordingsAndLoadsLeaveThePlaybackCopyAlone) {
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  BeginRecording(rec, 100);
  AppendEvent(rec, modified, kKeyDown, Press(30), 0, 150);
  ASSERT_TRUE(EndRecording(rec, play));
  EXPECT_EQ(AppendEvent(rec, modified, kKeyUp, Release(30), 0, 200), AppendResult::kNotRecording);
  ASSERT_TRUE(ReplaceRecording(rec, {{7, kKeyDown, Press(31), -1}}));
  BeginRecording(rec, 5000);
  EXPECT_EQ(rec.recording_events.capacity(), 0u) << "the old array is released at once";
  EXPECT_EQ(play.playback_events, (Events{{50, kKeyDown, Press(30), 0}}));
  EXPECT_FALSE(CanAppend(0xFFFFFFFFu));  // a list is full at the largest 32-bit count
  EXPECT_TRUE(CanAppend(0xFFFFFFFEu));
}

}  // namespace tonvale
