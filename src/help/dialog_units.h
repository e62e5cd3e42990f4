// Dialog units: the font-relative measure dialog layouts are written in.
// One horizontal unit is a quarter of the dialog font's average character
// width, one vertical unit an eighth of its character height.
#pragma once

#include <QFont>
#include <QRect>

namespace tonvale {

struct DialogBaseUnits {
  int char_width = 0;   // average width of the letters a..z, A..Z
  int char_height = 0;  // line height of the font, Chinese fallback included
};

// Base units of `font`, measured the way dialog managers do: the width of
// the 52 letters, halved twice with rounding, and the full line height.
DialogBaseUnits MeasureDialogBaseUnits(const QFont& font);

// a * b / c rounded half away from zero, as dialog managers scale.
int ScaleRounded(int a, int b, int c);

// A rectangle given in dialog units, in pixels.
QRect DialogRectToPixels(const QRect& units, const DialogBaseUnits& base);

}  // namespace tonvale
