#include "record/event_lists.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "perform/instrument.h"

namespace tonvale {
namespace {

constexpr std::uint32_t kKeyA = 0x001E0001u;
constexpr std::uint32_t kKeyAUp = 0xC01E0001u;

TEST(EventLists, RecordingRestartsEmptyAndThePlaybackCopyStaysSeparate) {
  RecordingList rec;
  PlaybackList play;
  bool modified = false;
  BeginRecording(rec, 100);
  ASSERT_EQ(AppendEvent(rec, modified, kKeyDown, kKeyA, 0, 150), AppendResult::kAppended);
  ASSERT_EQ(AppendEvent(rec, modified, kKeyUp, kKeyAUp, 0, 170), AppendResult::kAppended);
  ASSERT_TRUE(EndRecording(rec, play));
  EXPECT_FALSE(rec.recording_flag);
  EXPECT_EQ(AppendEvent(rec, modified, kKeyDown, kKeyA, 0, 200), AppendResult::kNotRecording);
  EXPECT_EQ(play.playback_events, rec.recording_events);
  EXPECT_NE(play.playback_events.data(), rec.recording_events.data());

  // Replacing the recording (a load) never reaches the playback copy.
  const std::vector<PerformanceEvent> before = play.playback_events;
  ASSERT_TRUE(ReplaceRecording(rec, {{7, kKeyDown, kKeyA, -1}}));
  EXPECT_EQ(rec.recording_count(), 1u);
  EXPECT_EQ(play.playback_events, before);

  // A new recording discards the old one at once, the copy only when it stops.
  BeginRecording(rec, 5000);
  EXPECT_TRUE(rec.recording_flag);
  EXPECT_EQ(rec.recording_count(), 0u);
  EXPECT_EQ(rec.recording_events.capacity(), 0u) << "the old array is released";
  EXPECT_EQ(rec.last_event_time, 5000u);
  EXPECT_EQ(play.playback_events, before);
  ASSERT_TRUE(EndRecording(rec, play));
  EXPECT_EQ(play.playback_count(), 0u);

  ASSERT_TRUE(MakePlaybackCopy(play, before));
  ReleasePlayback(play);
  EXPECT_EQ(play.playback_events.capacity(), 0u);
}

TEST(EventLists, ListIsFullAtTheLargestThirtyTwoBitCount) {
  EXPECT_TRUE(CanAppend(0));
  EXPECT_TRUE(CanAppend(0xFFFFFFFEu));
  EXPECT_FALSE(CanAppend(0xFFFFFFFFu));
  EXPECT_FALSE(CanAppend(std::size_t{0x100000000u}));
}

}  // namespace
}  // namespace tonvale
