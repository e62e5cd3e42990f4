#include "devices/soundfont_search.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tonvale {
namespace {

namespace fs = std::filesystem;

TEST(SoundfontSearch, TheUsersChoiceFirstThenDebiansDefault) {
  unsetenv("TONVALE_SOUNDFONT");
  const auto system = SoundfontCandidates();
  ASSERT_FALSE(system.empty());
  EXPECT_EQ(system.front(), "/usr/share/sounds/sf2/default-GM.sf2");
  setenv("TONVALE_SOUNDFONT", "", 1);  // empty: not set
  EXPECT_EQ(SoundfontCandidates(), system);
  setenv("TONVALE_SOUNDFONT", "/somewhere/mine.sf2", 1);
  const auto with_env = SoundfontCandidates();
  EXPECT_EQ(with_env.front(), "/somewhere/mine.sf2");
  EXPECT_EQ(std::vector<std::string>(with_env.begin() + 1, with_env.end()), system);
  unsetenv("TONVALE_SOUNDFONT");
}

TEST(SoundfontSearch, FirstRealSoundfontWinsAndOnlyItsHeaderIsRead) {
  const fs::path dir = fs::temp_directory_path() / ("tonvale-sf-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  };
  const std::string a = write("a.sf2", std::string("RIFF\x10\0\0\0sfbkLIST", 16));
  const std::string b = write("b.sf3", std::string("RIFF\x10\0\0\0sfbkLIST", 16));
  EXPECT_EQ(FindSoundfont({a, b}), a);
  EXPECT_EQ(FindSoundfont({b, a}), b);

  const std::string text = write("text.sf2", "not a soundfont at all");
  const std::string wave = write("wave.sf2", std::string("RIFF\x10\0\0\0WAVEfmt ", 16));
  const std::string shorty = write("short.sf2", "RIFF\x10");
  fs::create_directory(dir / "dir.sf2");
  fs::create_symlink(dir / "nowhere.sf2", dir / "dangling.sf2");
  EXPECT_EQ(FindSoundfont({(dir / "missing.sf2").string(), text, wave, shorty,
                           (dir / "dir.sf2").string(), (dir / "dangling.sf2").string(), b}),
            b);
  EXPECT_EQ(FindSoundfont({text, wave, shorty}), std::nullopt);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tonvale
