// A recording read as a song: its presses in order at their times, each
// played by its own key and shift, without bars.
#include "practice/recording_song.h"

#include <gtest/gtest.h>

#include <sstream>

#include "practice/band_layout.h"
#include "practice/practice_session.h"
#include "practice/song_events.h"

namespace tonvale {
namespace {

RecordingFile Recording() {
  return {{{100, 256, 0x1E0001, 0},    // A at 100
           {50, 256, 0x1F0001, 1},     // Shift+S at 150, A still down
           {200, 257, 0xC01E0001, 0},  // A up at 350
           {100, 257, 0xC01F0001, 1},  // S up at 450
           {10, 256, 0x390001, 0},     // the space bar plays nothing
           {10, 257, 0xC0390001, 0},
           {40, 256, 0x120001, -1},  // Ctrl+E at 510, never released
           {90, 256, 0x300001, 0}},  // B at 600, the last event
          1304,
          0};
}

TEST(RecordingSong, EachPressIsANoteOfItsOwnKeyPlayedAtItsTimeWithoutBars) {
  const Song song = SongFromRecording(Recording());
  EXPECT_EQ(song.key_mode, 1304);
  EXPECT_EQ(song.key_text, "1=#F");
  EXPECT_EQ(song.tempo, 0);
  EXPECT_FALSE(song.has_bars);
  EXPECT_TRUE(song.bar_ends.empty());
  EXPECT_EQ(song.HeaderText(), "1=#F");
  // Start, length, degree, accidental, octave, pitch, scan code and shift.
  std::vector<std::string> notes;
  for (const SongNote& n : song.notes) {
    EXPECT_EQ(n.sound_length, n.length);
    EXPECT_TRUE(n.Played());
    std::ostringstream text;
    text << n.start << '+' << n.length << ' ' << +n.degree << "b #"[int(n.accidental) + 1]
         << +n.octave << '=' << n.pitch << ' ' << +n.key.scan_code << '/' << +n.key.shift;
    notes.push_back(text.str());
  }
  EXPECT_EQ(notes, (std::vector<std::string>{"100+250 1 0=0 30/0", "150+300 2 1=14 31/1",
                                             "510+90 7 -3=-25 18/-1", "600+0 6b0=8 48/0"}));
  EXPECT_EQ(song.length, 600);

  // It plays at its recorded times and counts in four half-second beats.
  EXPECT_EQ(MsAtTick(song, 600, 50), 1200);
  // Overlapping notes: S goes down while A is held.
  const std::vector<PerformanceEvent> events = SongEvents(song);
  ASSERT_EQ(events.size(), 8u);
  EXPECT_EQ(events[0].key_data, 0x001E0001u);
  EXPECT_EQ(events[1].key_data, 0x001F0001u);
  EXPECT_EQ(events[1].octave_shift, 1);
  EXPECT_EQ(events[2].key_data, 0xC01E0001u);
  EXPECT_EQ(events[2].delta_ms, 340u - 150u);

  PracticeSession s(song);
  s.Start(PracticeMode::kPlayingAlong, 50, 0);
  EXPECT_EQ(s.CurrentCountIn(), (CountIn{1, 4}));
  s.Tick(3999);
  EXPECT_EQ(s.CurrentCountIn(), (CountIn{4, 4}));
  s.KeyDown(30, 0, 4000 + 200);
  EXPECT_EQ(s.StateOf(0), NoteState::kRight);

  // Without bars the band breaks anywhere.
  const BandLayout layout = LayoutBand(song, {20, 10, 0, 0, 0, 0}, 40);
  EXPECT_EQ(layout.lines.size(), 2u);
  EXPECT_EQ(layout.items.size(), 6u);
}

}  // namespace
}  // namespace tonvale
