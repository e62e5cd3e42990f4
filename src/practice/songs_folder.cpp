#include "practice/songs_folder.h"

#include <algorithm>
#include <system_error>

namespace tonvale {

namespace fs = std::filesystem;

std::vector<fs::path> SongsFolderCandidates(const fs::path& program_dir) {
  std::vector<fs::path> folders{program_dir / "songs"};
  std::error_code ec;
  const fs::path build_dir = fs::weakly_canonical(TONVALE_BUILD_DIR, ec);
  const fs::path program = fs::weakly_canonical(program_dir, ec);
  // Within the build tree: the program's path starts with the build folder's.
  const auto [b, p] =
      std::mismatch(build_dir.begin(), build_dir.end(), program.begin(), program.end());
  if (!build_dir.empty() && b == build_dir.end()) folders.emplace_back(TONVALE_SOURCE_SONGS_DIR);
  folders.push_back((program_dir / ".." / "share" / "tonvale" / "songs").lexically_normal());
  folders.emplace_back(TONVALE_INSTALLED_SONGS_DIR);
  return folders;
}

fs::path FindSongsFolder(const std::vector<fs::path>& candidates) {
  for (const fs::path& folder : candidates) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (it->path().extension() == ".txt" && it->is_regular_file(ec)) return folder;
    }
  }
  return {};
}

}  // namespace tonvale
