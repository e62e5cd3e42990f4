// Where the songs that come with Tonvale are: found like the help pages,
// from the program's own folder, so that both the build tree and an
// installed (or moved) copy find theirs.
#pragma once

#include <filesystem>
#include <vector>

namespace tonvale {

// Folders that may hold the songs, in the order they are tried:
//  1. "songs" beside the executable (a portable copy);
//  2. the source tree's songs/, when the executable lies in its build tree;
//  3. share/tonvale/songs next to the executable's bin folder (a moved install);
//  4. the data folder the program was installed with.
std::vector<std::filesystem::path> SongsFolderCandidates(const std::filesystem::path& program_dir);

// The first candidate that is a folder holding at least one ".txt" song, or
// an empty path.
std::filesystem::path FindSongsFolder(const std::vector<std::filesystem::path>& candidates);

}  // namespace tonvale
