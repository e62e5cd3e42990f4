// The pointing hand shown over links: drawn pixel by pixel so it stays crisp.
// At twice the size each pixel becomes four by Scale2x, which turns the
// outline's staircases into steps of one new pixel instead of doubling
// them. The hand's silhouette and its white inside are scaled apart, and the
// outline is what lies between them, so that it keeps its width everywhere.
#include <array>
#include <cstring>
#include <vector>

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
constexpr int kSize = 32;

using Mask = std::vector<std::vector<bool>>;

// The cells of the hand drawn with one of `kinds`.
Mask MaskOf(const char* kinds) {
  Mask mask(kSize, std::vector<bool>(kSize, false));
  for (std::size_t y = 0; y < kHand.size(); ++y)
    for (std::size_t x = 0; kHand[y][x] != '\0'; ++x)
      mask[y][x] = std::strchr(kinds, kHand[y][x]) != nullptr;
  return mask;
}

// Each cell becomes four. A quarter takes the value of its two outer
// neighbours where they agree with each other and differ from the two
// inner ones (the corner of a staircase); otherwise it keeps the cell's.
Mask Scale2x(const Mask& in) {
  const int n = static_cast<int>(in.size());
  const auto at = [&](int x, int y) { return x >= 0 && y >= 0 && x < n && y < n && in[y][x]; };
  Mask out(2 * n, std::vector<bool>(2 * n, false));
  for (int y = 0; y < n; ++y) {
    for (int x = 0; x < n; ++x) {
      const bool cell = at(x, y), up = at(x, y - 1), down = at(x, y + 1);
      const bool left = at(x - 1, y), right = at(x + 1, y);
      out[2 * y][2 * x] = left == up && left != down && up != right ? up : cell;
      out[2 * y][2 * x + 1] = up == right && up != left && right != down ? right : cell;
      out[2 * y + 1][2 * x] = down == left && down != right && left != up ? left : cell;
      out[2 * y + 1][2 * x + 1] = right == down && right != up && down != left ? down : cell;
    }
  }
  return out;
}

}  // namespace

QPoint handCursorHotSpot(int scale) {
  return QPoint(9, 0) * scale;
}

QImage drawHandCursor(int scale) {
  Mask hand = MaskOf("#."), inside = MaskOf(".");
  for (int s = scale; s > 1; s /= 2) {
    hand = Scale2x(hand);
    inside = Scale2x(inside);
  }
  const int size = static_cast<int>(hand.size());
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (inside[y][x]) {
        image.setPixel(x, y, qRgba(255, 255, 255, 255));
      } else if (hand[y][x]) {
        image.setPixel(x, y, qRgba(0, 0, 0, 255));
      }
    }
  }
  return image;
}

}  // namespace tonvale::pictures
