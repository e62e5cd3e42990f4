// Where the song band goes, and which command-line files open as songs.
#include "shell/song_band_place.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/song_practice.h"

namespace tonvale {
namespace {

constexpr int kCx = 12;
constexpr int kCy = 19;
constexpr int kPictureFoot = kPictureTop + kPictureHeight;  // 191

TEST(SongBandPlace, BetweenPictureAndKeyboardMovingTheKeyboardOnlyDownAndOnlyAsFarAsTheButtons) {
  // A tall window: the band is centred in the gap and the keyboard stays.
  const WindowLayout tall = ComputeLayout(1000, 950, kCx, kCy);
  const SongBandPlace roomy = PlaceSongBand(tall, 1000, 950, kCx, 90);
  EXPECT_EQ(roomy.y0, tall.y0);
  const int above = roomy.band.y - kPictureFoot;
  const int below = tall.y0 - (roomy.band.y + roomy.band.height);
  EXPECT_LE(std::abs(above - below), 1);
  EXPECT_GE(above, kBandMargin);
  // Left of the velocity bar, a character cell from either edge.
  EXPECT_EQ(roomy.band.x, kCx);
  EXPECT_EQ(roomy.band.x + roomy.band.width, tall.velocity_bar.x - kCx);
  EXPECT_EQ(roomy.band.height, 90);

  // A short window: the keyboard moves down just enough.
  const WindowLayout shorter = ComputeLayout(1000, 600, kCx, kCy);
  const SongBandPlace pushed = PlaceSongBand(shorter, 1000, 600, kCx, 90);
  EXPECT_GT(pushed.y0, shorter.y0);
  EXPECT_EQ(pushed.band.y, kPictureFoot + kBandMargin);
  EXPECT_EQ(pushed.y0, pushed.band.y + 90 + kBandMargin);
  EXPECT_LE(pushed.y0 + kKeyboardHeight, shorter.transport_buttons[0].y);

  // Too short for both: the keyboard stops above the buttons, and the band
  // rises over the picture's foot, not over the keys; at the most up to the
  // picture's top.
  const WindowLayout tiny = ComputeLayout(1000, 480, kCx, kCy);
  const SongBandPlace squeezed = PlaceSongBand(tiny, 1000, 480, kCx, 90);
  EXPECT_EQ(squeezed.y0 + kKeyboardHeight + kBandMargin, tiny.transport_buttons[0].y);
  EXPECT_EQ(squeezed.band.y + 90 + kBandMargin, squeezed.y0);
  EXPECT_EQ(PlaceSongBand(tiny, 1000, 480, kCx, 200).band.y, kPictureTop);
  // Never up, even where the buttons lie above the keyboard already.
  const WindowLayout flat = ComputeLayout(1000, 300, kCx, kCy);
  EXPECT_EQ(PlaceSongBand(flat, 1000, 300, kCx, 90).y0, flat.y0);
}

TEST(OpensAsSong, TextAndUnknownFilesAreSongsRecordingsAndMissingNamesKeepTheirWay) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("tonvale-opens-as-song-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto write = [&dir](const char* name, const char* text) {
    std::ofstream(dir / name, std::ios::binary) << text;
    return dir / name;
  };
  EXPECT_TRUE(OpensAsSong(write("tune.txt", "1 2 3")));
  EXPECT_TRUE(OpensAsSong(write("tune", "1 2 3")));
  EXPECT_TRUE(OpensAsSong(dir / "missing.TXT"));  // its own message: a song that cannot be read
  EXPECT_FALSE(OpensAsSong(dir / "missing"));     // the recording's message, as before
  EXPECT_FALSE(OpensAsSong(dir / "missing.qvi"));
  EXPECT_FALSE(OpensAsSong(write("take.txt", "RIFF....QV  ")));
  EXPECT_FALSE(OpensAsSong({}));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tonvale
