// Opening a song file: a text song or a recording, and the files refused
// before they are read.
#include "practice/song_file.h"

#include <gtest/gtest.h>

#include "files_fixture.h"

namespace tonvale {
namespace {

SongProblem ProblemOf(const SongReadResult& read) {
  const SongError* error = std::get_if<SongError>(&read);
  return error != nullptr ? error->problem : SongProblem::kUnknownWord;
}

TEST(SongFile, TextSongsAndRecordingsByNameOrContent) {
  test::ScratchFolder folder;
  test::WriteAll(folder / "茉莉.txt",
                 "\xEF\xBB\xBF"
                 "1 2\r\n3\r\n"sv);
  test::WriteAll(folder / "titled.txt", "title=小星星\n1"sv);
  const std::vector<std::uint8_t> qvi = *BuildQviBytes(test::kTwoEvents, 1298, false, test::kDate);
  test::WriteAll(folder / "take.QVI", qvi);
  test::WriteAll(folder / "take.txt", qvi);  // a recording whatever its name

  SongReadResult read = ReadSongFile(folder / "茉莉.txt");
  ASSERT_TRUE(std::holds_alternative<Song>(read));
  EXPECT_EQ(std::get<Song>(read).title, "茉莉");
  EXPECT_EQ(std::get<Song>(read).notes.size(), 3u);
  EXPECT_EQ(std::get<Song>(ReadSongFile(folder / "titled.txt")).title, "小星星");
  for (const char* name : {"take.QVI", "take.txt"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(IsRecordingFile(folder / name));
    read = ReadSongFile(folder / name);
    ASSERT_TRUE(std::holds_alternative<Song>(read));
    const Song& song = std::get<Song>(read);
    EXPECT_EQ(song.title, "take");
    EXPECT_EQ(song.key_mode, 1298);
    EXPECT_EQ(song.notes.size(), 1u);  // the notes themselves: recording_song_test
  }
  EXPECT_FALSE(IsRecordingFile(folder / "titled.txt"));
}

TEST(SongFile, RefusesWhatCannotBeASong) {
  test::ScratchFolder folder;
  test::WriteAll(folder / "big.txt", std::string(kMaxSongBytes + 1, ' '));
  test::WriteAll(folder / "bad.qvi", "1 2 3"sv);
  const std::vector<PerformanceEvent> space_bar = {{0, 256, 0x390001, 0}};
  test::WriteAll(folder / "silent.qvi", *BuildQviBytes(space_bar, 1297, false, test::kDate));
  std::filesystem::create_directory(folder / "folder.txt");
  EXPECT_EQ(ProblemOf(ReadSongFile(folder / "big.txt")), SongProblem::kTooLarge);
  EXPECT_EQ(ProblemOf(ReadSongFile(folder / "none.txt")), SongProblem::kCannotOpen);
  EXPECT_EQ(ProblemOf(ReadSongFile(folder / "folder.txt")), SongProblem::kCannotOpen);
  EXPECT_EQ(ProblemOf(ReadSongFile(folder / "silent.qvi")), SongProblem::kNoNotes);
  const SongReadResult bad = ReadSongFile(folder / "bad.qvi");
  ASSERT_EQ(ProblemOf(bad), SongProblem::kRecording);
  EXPECT_EQ(SongErrorMessage(std::get<SongError>(bad), "bad.qvi"),
            "文件bad.qvi不是标准的Tonvale文件.");
}

}  // namespace
}  // namespace tonvale
