// Where the song band goes: between the foot of the instrument picture and
// the top of the on-screen keyboard, left of the velocity bar. Pure
// arithmetic on client pixels, like the rest of the window's layout.
#pragma once

#include "perform/keyboard_layout.h"

namespace tonvale {

struct SongBandPlace {
  Rect band;
  int y0 = 0;  // the keyboard's top with the band shown
};

// Space kept between the band and what lies above and below it.
inline constexpr int kBandMargin = 8;

// The band `height` pixels high in the window laid out as `layout` (client
// size `w` x `h`, character cell `cx`). It is centred in the gap between the
// picture and the keyboard; where the gap is too small the keyboard moves
// down, never up and never into the row of transport buttons. On a window too
// small for that the band rises over the foot of the picture (no higher than
// the picture's top), keeping its height.
SongBandPlace PlaceSongBand(const WindowLayout& layout, int w, int h, int cx, int height);

}  // namespace tonvale
