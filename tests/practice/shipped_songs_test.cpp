// The songs that come with Tonvale: each opens, exports, and plays through
// in every mode.
#include <gtest/gtest.h>

#include <filesystem>

#include "practice/practice_session.h"
#include "practice/song_events.h"
#include "practice/song_file.h"
#include "practice/song_midi.h"

namespace tonvale {
namespace {

namespace fs = std::filesystem;

// Plays every note's own key at its exact time.
void PlayThrough(const Song& song, PracticeMode mode, int speed) {
  PracticeSession s(song);
  const std::uint32_t t0 = 12345;
  s.Start(mode, speed, t0);
  const std::int64_t count_in =
      mode == PracticeMode::kPlayingAlong ? MsAtTick(song, song.time.BarTicks(), speed) : 0;
  for (const SongNote& note : song.notes) {
    if (!note.Played()) continue;
    const auto at = static_cast<std::uint32_t>(t0 + count_in + MsAtTick(song, note.start, speed));
    s.Tick(at);
    if (mode == PracticeMode::kWaiting) {
      EXPECT_EQ(s.NextNote(), &note - song.notes.data());
    }
    s.KeyDown(note.key.scan_code, note.key.shift, at);
  }
  s.Tick(static_cast<std::uint32_t>(t0 + count_in + MsAtTick(song, song.length, speed) + 600));
  EXPECT_TRUE(s.Finished());
  if (mode == PracticeMode::kListening) return;
  EXPECT_EQ(s.Result()->right, song.PlayedCount());
  if (mode == PracticeMode::kPlayingAlong) {
    EXPECT_EQ(s.Result()->timing_median_ms, 0);
  }
}

TEST(ShippedSongs, EachOpensExportsAndPlaysThroughInEveryMode) {
  int songs = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(TONVALE_SOURCE_SONGS_DIR)) {
    SCOPED_TRACE(entry.path().filename().string());
    ASSERT_EQ(entry.path().extension(), ".txt");
    const SongReadResult read = ReadSongFile(entry.path());
    ASSERT_TRUE(std::holds_alternative<Song>(read))
        << SongErrorMessage(std::get<SongError>(read), entry.path().filename().string());
    const Song& song = std::get<Song>(read);
    ++songs;
    EXPECT_NE(song.title, entry.path().stem().string());  // a title of its own
    ASSERT_TRUE(BuildSongMidiBytes(song, song.key_mode, 0, false));
    EXPECT_EQ(SongEvents(song).size(), 2 * song.PlayedCount());
    PlayThrough(song, PracticeMode::kWaiting, 100);
    for (const int speed : kPracticeSpeeds) PlayThrough(song, PracticeMode::kPlayingAlong, speed);
    PlayThrough(song, PracticeMode::kListening, 100);
  }
  EXPECT_GE(songs, 6);
}

}  // namespace
}  // namespace tonvale
