// A song as a Standard MIDI File, against bytes written by hand.
#include "practice/song_midi.h"

#include <gtest/gtest.h>

#include "files_fixture.h"
#include "practice_fixture.h"

namespace tonvale {
namespace {

using test::ReadOk;

// In D major at 120 crotchets a minute: degree 1 held two beats, a rest, a
// quaver 3 and a quaver 3 tied over the bar line to a crotchet.
constexpr std::string_view kSong = "1=D 4=120 1 - 0 q3 q3 ~ | 3";

TEST(SongMidi, NotesEndWhereTheirWrittenLengthEnds) {
  const Song song = ReadOk(kSong);
  const std::vector<std::uint8_t> expected = {
      'M',  'T',  'h',  'd',  0,    0,    0,    6,  0, 0, 0, 1, 0, 0xC0,  //
      'M',  'T',  'r',  'k',  0,    0,    0,    41,                       //
      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,                           // 500,000 us a crotchet
      0x00, 0xC0, 0x13,                                                   // program 19
      0x00, 0x90, 0x3E, 0x7F,                                             // D4 at 0
      0x83, 0x00, 0x80, 0x3E, 0x7F,                                       // off at 384
      0x81, 0x40, 0x90, 0x42, 0x7F,                                       // F#4 at 576
      0x60, 0x80, 0x42, 0x7F,                                             // off at 672
      0x00, 0x90, 0x42, 0x7F,                                             // the tied one
      0x82, 0x20, 0x80, 0x42, 0x7F,                                       // off at 960
      0x00, 0xFF, 0x2F, 0x00};
  EXPECT_EQ(BuildSongMidiBytes(song, song.key_mode, 19, false), expected);
}

TEST(SongMidi, TheBassTrackTheKeyModeAndWhatIsRefused) {
  const Song song = ReadOk(kSong);
  const std::vector<std::uint8_t> bytes = *BuildSongMidiBytes(song, 1297, 0, true);
  const std::vector<std::uint8_t> header = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 0xC0};
  ASSERT_EQ(bytes.size(), 14u + 2 * 49u);
  EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
  // C major: 60 and 64 in the melody, 48 and 52 on channel 16.
  EXPECT_EQ(bytes[14 + 8 + 12], 0x3C);
  const std::vector<std::uint8_t> bass = {
      'M',  'T',  'r',  'k',  0,    0,    0,    41,   0x00, 0xFF, 0x51, 0x03, 0x07,
      0xA1, 0x20, 0x00, 0xCF, 0x00, 0x00, 0x9F, 0x30, 0x7F, 0x83, 0x00, 0x8F, 0x30,
      0x7F, 0x81, 0x40, 0x9F, 0x34, 0x7F, 0x60, 0x8F, 0x34, 0x7F, 0x00, 0x9F, 0x34,
      0x7F, 0x82, 0x20, 0x8F, 0x34, 0x7F, 0x00, 0xFF, 0x2F, 0x00};
  EXPECT_TRUE(std::equal(bass.begin(), bass.end(), bytes.begin() + 14 + 49));
  EXPECT_EQ(BuildSongMidiBytes(song, 1306, 0, false), std::nullopt);
  EXPECT_EQ(BuildSongMidiBytes(song, 1297, 128, false), std::nullopt);
  EXPECT_EQ(SongTempoMicroseconds(ReadOk("4=85 1")), 705882u);
  Song recording = song;
  recording.tempo = 0;  // ticks are milliseconds
  EXPECT_EQ(SongTempoMicroseconds(recording), 192000u);
}

TEST(SongMidi, ExportWritesSafely) {
  const Song song = ReadOk(kSong);
  test::ScratchFolder folder;
  EXPECT_EQ(ExportSongMidiFile(folder / "a.mid", song, 1298, 19, false), std::nullopt);
  EXPECT_EQ(test::ReadAll(folder / "a.mid"), *BuildSongMidiBytes(song, 1298, 19, false));
  EXPECT_EQ(ExportSongMidiFile(folder / "none" / "a.mid", song, 1298, 0, false),
            FileError::kCannotCreate);
  EXPECT_EQ(ExportSongMidiFile(folder / "b.mid", song, 1306, 0, false), FileError::kCannotWrite);
  EXPECT_EQ(folder.Count(), 1u);
}

}  // namespace
}  // namespace tonvale
