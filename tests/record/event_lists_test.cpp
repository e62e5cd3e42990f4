#include "record/event_lists.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "perform/instrument.h"

namespace tonvale {
namespace {

constexpr std::uint32_t kKeyA = 0x001E0001u;
constexpr std::uint32_t kKeyAUp = 0xC01E0001u;

TEST(EventLists, BeginRecordingDiscardsThePreviousRecordingButNotThePlaybackCopy) {
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  BeginRecording(rec, 100);
  ASSERT_EQ(AppendEvent(rec, modified, kKeyDown, kKeyA, 0, 150), AppendResult::kAppended);
  ASSERT_TRUE(EndRecording(rec, play));
  EXPECT_FALSE(rec.recording_flag);

  BeginRecording(rec, 5000);
  EXPECT_TRUE(rec.recording_flag);
  EXPECT_EQ(rec.recording_count(), 0u);
  EXPECT_EQ(rec.recording_events.capacity(), 0u) << "the old array is released";
  EXPECT_EQ(rec.last_event_time, 5000u);
  ASSERT_EQ(play.playback_count(), 1u);
  EXPECT_EQ(play.playback_events[0].delta_ms, 50u);

  // Stopping without a key: both lists are empty.
  ASSERT_TRUE(EndRecording(rec, play));
  EXPECT_EQ(rec.recording_count(), 0u);
  EXPECT_EQ(play.playback_count(), 0u);
}

TEST(EventLists, AppendFollowsTheRecordingRules) {
  RecordingList rec;
  bool modified = false;

  // Not recording: nothing, whatever comes.
  EXPECT_EQ(AppendEvent(rec, modified, kKeyDown, kKeyA, 0, 10), AppendResult::kNotRecording);
  EXPECT_EQ(rec.recording_count(), 0u);

  BeginRecording(rec, 1000);
  // A release cannot open the list, and does not move the time base.
  EXPECT_EQ(AppendEvent(rec, modified, kKeyUp, kKeyAUp, 0, 1100), AppendResult::kLeadingRelease);
  EXPECT_EQ(rec.recording_count(), 0u);
  EXPECT_EQ(rec.last_event_time, 1000u);
  EXPECT_FALSE(modified);

  // The first press sets the modified flag and counts from the start.
  EXPECT_EQ(AppendEvent(rec, modified, kKeyDown, kKeyA, 1, 1200), AppendResult::kAppended);
  EXPECT_TRUE(modified);
  // Later events do not set it again (a save may have cleared it).
  modified = false;
  EXPECT_EQ(AppendEvent(rec, modified, kKeyDown, 0x001F0001u, 1, 1200), AppendResult::kAppended);
  EXPECT_EQ(AppendEvent(rec, modified, kKeyUp, kKeyAUp, 1, 1450), AppendResult::kAppended);
  // A release of a key pressed before the recording is kept once the list
  // has begun.
  EXPECT_EQ(AppendEvent(rec, modified, kKeyUp, 0xC0200001u, 0, 1451), AppendResult::kAppended);
  EXPECT_FALSE(modified);

  const std::vector<PerformanceEvent> expected = {
      {200, kKeyDown, kKeyA, 1},
      {0, kKeyDown, 0x001F0001u, 1},
      {250, kKeyUp, kKeyAUp, 1},
      {1, kKeyUp, 0xC0200001u, 0},
  };
  EXPECT_EQ(rec.recording_events, expected);
  EXPECT_EQ(rec.recording_count(), 4u);
  EXPECT_EQ(rec.last_event_time, 1451u);
}

TEST(EventLists, DeltasSurviveTheClockWrap) {
  RecordingList rec;
  bool modified = false;
  BeginRecording(rec, 0xFFFFFF00u);
  ASSERT_EQ(AppendEvent(rec, modified, kKeyDown, kKeyA, 0, 0x00000010u), AppendResult::kAppended);
  ASSERT_EQ(AppendEvent(rec, modified, kKeyUp, kKeyAUp, 0, 0x00000020u), AppendResult::kAppended);
  EXPECT_EQ(rec.recording_events[0].delta_ms, 0x110u);
  EXPECT_EQ(rec.recording_events[1].delta_ms, 0x10u);

  // The same through a settable clock that wraps on its own.
  SettableMillisecondClock clock(0xFFFFFFFFu);
  BeginRecording(rec, clock.NowMs());
  clock.Advance(2);
  ASSERT_EQ(RecordKeyEvent(rec, modified, clock, kKeyDown, kKeyA, 0), AppendResult::kAppended);
  EXPECT_EQ(clock.NowMs(), 1u);
  EXPECT_EQ(rec.recording_events[0].delta_ms, 2u);
}

TEST(EventLists, ListIsFullAtTheLargestThirtyTwoBitCount) {
  EXPECT_TRUE(CanAppend(0));
  EXPECT_TRUE(CanAppend(0xFFFFFFFEu));
  EXPECT_FALSE(CanAppend(0xFFFFFFFFu));
  EXPECT_FALSE(CanAppend(std::size_t{0x100000000u}));
}

TEST(EventLists, PlaybackCopyIsSeparateAndReplaceLeavesItAlone) {
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  BeginRecording(rec, 0);
  for (std::uint32_t t = 1; t <= 3; ++t) {
    AppendEvent(rec, modified, kKeyDown, kKeyA + (t << 16), 0, t * 10);
  }
  ASSERT_TRUE(EndRecording(rec, play));
  EXPECT_EQ(play.playback_events, rec.recording_events);
  EXPECT_NE(play.playback_events.data(), rec.recording_events.data());

  // Changing or replacing the recording never reaches the playback copy.
  const std::vector<PerformanceEvent> before = play.playback_events;
  rec.recording_events[0].delta_ms = 999;
  std::vector<PerformanceEvent> loaded = {{7, kKeyDown, kKeyA, -1}, {8, kKeyUp, kKeyAUp, -1}};
  ASSERT_TRUE(ReplaceRecording(rec, std::move(loaded)));
  EXPECT_EQ(rec.recording_count(), 2u);
  EXPECT_EQ(rec.recording_events[1].delta_ms, 8u);
  EXPECT_EQ(play.playback_events, before);

  // A load then makes the copy of the loaded events.
  ASSERT_TRUE(MakePlaybackCopy(play, rec.recording_events));
  EXPECT_EQ(play.playback_events, rec.recording_events);

  ReleasePlayback(play);
  EXPECT_EQ(play.playback_count(), 0u);
  EXPECT_EQ(play.playback_events.capacity(), 0u);
  EXPECT_EQ(rec.recording_count(), 2u);
}

}  // namespace
}  // namespace tonvale
