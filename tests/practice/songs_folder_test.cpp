// Where the window looks for the songs that come with Tonvale.
#include "practice/songs_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "files_fixture.h"

namespace tonvale {
namespace {

namespace fs = std::filesystem;

TEST(SongsFolder, TheSourceSongsOnlyFromTheBuildTreeAndTheFirstFolderWithSongs) {
  const fs::path source = TONVALE_SOURCE_SONGS_DIR;
  const std::vector<fs::path> built = SongsFolderCandidates(fs::path(TONVALE_BUILD_DIR) / "src");
  EXPECT_NE(std::find(built.begin(), built.end(), source), built.end());
  const std::vector<fs::path> moved = SongsFolderCandidates("/opt/tonvale/bin");
  EXPECT_EQ(std::find(moved.begin(), moved.end(), source), moved.end());
  EXPECT_EQ(moved[0], fs::path("/opt/tonvale/bin/songs"));
  EXPECT_EQ(moved[1], fs::path("/opt/tonvale/share/tonvale/songs"));

  test::ScratchFolder folder;
  fs::create_directories(folder / "empty");
  fs::create_directories(folder / "other");
  test::WriteAll(folder / "other" / "notes.md", "x"sv);
  fs::create_directories(folder / "songs");
  test::WriteAll(folder / "songs" / "a.txt", "1"sv);
  EXPECT_EQ(FindSongsFolder(
                {folder / "none", folder / "empty", folder / "other", folder / "songs", source}),
            folder / "songs");
  EXPECT_EQ(FindSongsFolder({folder / "empty"}), fs::path());
  EXPECT_EQ(FindSongsFolder(built), source);
}

}  // namespace
}  // namespace tonvale
