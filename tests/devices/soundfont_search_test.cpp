#include "devices/soundfont_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tonvale {
namespace {

using namespace std::literals;

TEST(SoundfontSearch, TheUsersChoiceFirstThenTheFirstFileThatIsReallyASoundfont) {
  unsetenv("TONVALE_SOUNDFONT");
  const auto system = SoundfontCandidates();
  EXPECT_EQ(system.at(0), "/usr/share/sounds/sf2/default-GM.sf2");  // Debian's
  setenv("TONVALE_SOUNDFONT", "mine.sf2", 1);
  const auto with_env = SoundfontCandidates();
  EXPECT_EQ(with_env.at(0), "mine.sf2");
  EXPECT_EQ(std::vector(with_env.begin() + 1, with_env.end()), system);
  unsetenv("TONVALE_SOUNDFONT");
  // Only the form header is read; a folder or a missing file is passed over.
  const auto dir = std::filesystem::temp_directory_path() / "tonvale-sf-test";
  std::filesystem::create_directories(dir / "folder.sf2");
  std::vector<std::string> files{(dir / "missing").string(), (dir / "folder.sf2").string()};
  for (std::string_view bytes :
       {"text"sv, "RIFF\x10\0\0\0WAVEfmt "sv, "RIFF\x10\0\0\0sfbkLIST"sv}) {
    files.push_back((dir / std::to_string(files.size())).string());
    std::ofstream(files.back(), std::ios::binary) << bytes;
  }
  EXPECT_EQ(FindSoundfont(files), files.back());
  files.pop_back();
  EXPECT_EQ(FindSoundfont(files), std::nullopt);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tonvale
