#include "devices/soundfont_search.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tonvale {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kSystem{
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
};

class SoundfontSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tonvale-sf-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    unsetenv("TONVALE_SOUNDFONT");
  }
  void TearDown() override {
    unsetenv("TONVALE_SOUNDFONT");
    fs::remove_all(dir_);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
    return (dir_ / name).string();
  }

  fs::path dir_;
};

TEST_F(SoundfontSearch, TheEnvironmentComesFirstThenTheSystemPlaces) {
  EXPECT_EQ(SoundfontCandidates(), kSystem);
  setenv("TONVALE_SOUNDFONT", "", 1);
  EXPECT_EQ(SoundfontCandidates(), kSystem);
  setenv("TONVALE_SOUNDFONT", "/somewhere/mine.sf2", 1);
  std::vector<std::string> with_env{"/somewhere/mine.sf2"};
  with_env.insert(with_env.end(), kSystem.begin(), kSystem.end());
  EXPECT_EQ(SoundfontCandidates(), with_env);

  // Missing, the environment's file gives way to the system one.
  const auto system = FindSoundfont(kSystem);
  ASSERT_TRUE(system.has_value()) << "no General MIDI soundfont installed";
  setenv("TONVALE_SOUNDFONT", (dir_ / "mine.sf2").c_str(), 1);
  EXPECT_EQ(FindSoundfont(SoundfontCandidates()), system);
  fs::create_symlink(*system, dir_ / "mine.sf2");
  EXPECT_EQ(FindSoundfont(SoundfontCandidates()), (dir_ / "mine.sf2").string());
}

TEST_F(SoundfontSearch, FirstRealSoundfontWinsAndTheRestIsSkipped) {
  // A header is all the search reads.
  const std::string a = Write("a.sf2", std::string("RIFF\x10\0\0\0sfbkLIST", 16));
  const std::string b = Write("b.sf3", std::string("RIFF\x10\0\0\0sfbkLIST", 16));
  const std::string link = (dir_ / "link.sf2").string();
  fs::create_symlink(a, link);
  EXPECT_EQ(FindSoundfont({a, b}), a);
  EXPECT_EQ(FindSoundfont({b, a}), b);
  EXPECT_EQ(FindSoundfont({link, a}), link);

  const std::string text = Write("text.sf2", "not a soundfont at all");
  const std::string wave = Write("wave.sf2", std::string("RIFF\x10\0\0\0WAVEfmt ", 16));
  const std::string shorty = Write("short.sf2", "RIFF\x10");
  const std::string empty = Write("empty.sf2", "");
  fs::create_directory(dir_ / "dir.sf2");
  fs::create_symlink(dir_ / "nowhere.sf2", dir_ / "dangling.sf2");
  EXPECT_EQ(FindSoundfont({(dir_ / "missing.sf2").string(), text, wave, shorty, empty,
                           (dir_ / "dir.sf2").string(), (dir_ / "dangling.sf2").string(), b}),
            b);
  EXPECT_EQ(FindSoundfont({text, wave, shorty, empty}), std::nullopt);
  EXPECT_EQ(FindSoundfont({}), std::nullopt);
}

}  // namespace
}  // namespace tonvale
