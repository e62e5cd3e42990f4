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
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  // A header is all the search reads.
  std::string Soundfont(const std::string& name) {
    return Write(name, std::string("RIFF\x10\0\0\0sfbkLIST", 16));
  }

  fs::path dir_;
};

TEST_F(SoundfontSearch, CandidatesAreTheEnvironmentThenTheSystemPlaces) {
  EXPECT_EQ(SoundfontCandidates(), kSystem);
  setenv("TONVALE_SOUNDFONT", "/somewhere/mine.sf2", 1);
  auto with_env = SoundfontCandidates();
  ASSERT_EQ(with_env.size(), kSystem.size() + 1);
  EXPECT_EQ(with_env.front(), "/somewhere/mine.sf2");
  EXPECT_EQ(std::vector<std::string>(with_env.begin() + 1, with_env.end()), kSystem);
  setenv("TONVALE_SOUNDFONT", "", 1);
  EXPECT_EQ(SoundfontCandidates(), kSystem);
}

TEST_F(SoundfontSearch, FirstRealSoundfontWinsAndTheRestIsSkipped) {
  const std::string a = Soundfont("a.sf2");
  const std::string b = Soundfont("b.sf3");
  fs::create_symlink(a, dir_ / "link.sf2");
  const std::string link = (dir_ / "link.sf2").string();
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

TEST_F(SoundfontSearch, EnvironmentSoundfontWinsWhenItExists) {
  const auto system = FindSoundfont(kSystem);
  ASSERT_TRUE(system.has_value()) << "no General MIDI soundfont installed";
  setenv("TONVALE_SOUNDFONT", (dir_ / "mine.sf2").c_str(), 1);
  EXPECT_EQ(FindSoundfont(SoundfontCandidates()), system);  // missing: the system one
  fs::create_symlink(*system, dir_ / "mine.sf2");
  EXPECT_EQ(FindSoundfont(SoundfontCandidates()), (dir_ / "mine.sf2").string());
}

}  // namespace
}  // namespace tonvale
