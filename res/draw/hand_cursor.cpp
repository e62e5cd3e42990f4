// The pointing hand shown over links: drawn pixel by pixel so it stays crisp.
#include <array>

#include "pictures.h"

namespace tonvale::pictures {

namespace {

// '#' outline, '.' white, blank transparent. The fingertip's top pixel is the hot spot.
constexpr std::array<const char*, 22> kHand = {
    "         ##",           "        #..#",          "        #..#",
    "        #..#",          "        #..#",          "        #..###",
    "        #..#..###",     "        #..#..#..#",    "        #..#..#..###",
    "   ##   #..#..#..#..#", "  #..#  #..#..#..#..#", "  #...# #..#..#..#..#",
    "   #...##...........#", "   #................#", "    #...............#",
    "    #..............#",  "     #.............#",  "     #............#",
    "      #...........#",   "      #...........#",   "       #.........#",
    "       ###########",
};

}  // namespace

QPoint handCursorHotSpot() {
  return QPoint(9, 0);
}

QImage drawHandCursor() {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < static_cast<int>(kHand.size()); ++y) {
    for (int x = 0; kHand[y][x] != '\0'; ++x) {
      if (kHand[y][x] == '#') image.setPixel(x, y, qRgba(0, 0, 0, 255));
      if (kHand[y][x] == '.') image.setPixel(x, y, qRgba(255, 255, 255, 255));
    }
  }
  return image;
}

}  // namespace tonvale::pictures
