#include "devices/soundfont_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tonvale {
namespace {

using namespace std::literals;

TEST(SoundfontSearch, TheUsersChoiceFirstThenTheFullestSystemSetThenTheFirstThatIsReallyOne) {
  unsetenv("TONVALE_SOUNDFONT");
  const auto system = SoundfontCandidates();
  EXPECT_EQ(system, SystemSoundfonts());
  // Debian's standard set, before whatever the alternative points at.
  EXPECT_EQ(system.at(0), "/usr/share/sounds/sf2/FluidR3_GM.sf2");
  EXPECT_EQ(system.at(1), "/usr/share/sounds/sf2/default-GM.sf2");
  EXPECT_EQ(ChosenSoundfont(), "");
  setenv("TONVALE_SOUNDFONT", "mine.sf2", 1);
  const auto with_env = SoundfontCandidates();
  EXPECT_EQ(with_env.at(0), "mine.sf2");
  EXPECT_EQ(std::vector(with_env.begin() + 1, with_env.end()), system);
  EXPECT_EQ(ChosenSoundfont("option.sf2"), "option.sf2");  // the option wins
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
