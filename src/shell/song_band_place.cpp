#include "shell/song_band_place.h"

#include <algorithm>

namespace tonvale {

SongBandPlace PlaceSongBand(const WindowLayout& layout, int w, int /*h*/, int cx, int height) {
  const int top = kPictureTop + kPictureHeight + kBandMargin;
  const int needed_y0 = top + height + kBandMargin;
  const int lowest_y0 = layout.transport_buttons[0].y - kKeyboardHeight - kBandMargin;
  SongBandPlace place;
  place.y0 = std::max(layout.y0, std::min(needed_y0, lowest_y0));
  const int room = place.y0 - kBandMargin - top;
  // Short of room the band rises over the foot of the picture rather than
  // cover keys, but never over the tool bar above it.
  const int y = room >= height ? top + (room - height) / 2
                               : std::max(kPictureTop, place.y0 - kBandMargin - height);
  const int left = cx;
  const int right = std::min(layout.velocity_bar.x, w) - cx;
  place.band = {left, y, std::max(0, right - left), height};
  return place;
}

}  // namespace tonvale
