// The pictures the window draws with, loaded once at start-up. A picture
// that cannot be loaded stays null and is simply not drawn.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRect>

namespace tonvale {

// The window background when the instrument strip cannot be read.
inline constexpr QRgb kFallbackBackground = qRgb(20, 100, 20);

// Sizes are logical pixels; on a screen of device pixel ratio 2 or more the
// pictures drawn at twice the size are loaded, with that ratio.
struct Pictures {
  QPixmap splash;       // 200 x 200
  QPixmap instruments;  // 15 pictures of 171 x 141 side by side
  QPixmap toolbar;      // 15 icons of 32 x 32 side by side
  QPixmap key_marks;    // grey, blue, red and green key caps of 38 x 39
  QPixmap pedal;        // the held pedal's space bar, 228 x 39
  QIcon icon;
  // Pixel (0, 0) of the instrument strip, so that the pictures blend in.
  QColor background{kFallbackBackground};
};

// Loads from the program's resources (":/res/..."), for screens of this
// device pixel ratio, or of the highest ratio of the screens there are.
Pictures LoadPictures(qreal device_pixel_ratio);
Pictures LoadPictures();

// The colour of pixel (0, 0), or the fallback for a null picture.
QColor BackgroundOf(const QPixmap& instruments);

// A part of a picture given in logical pixels, in the picture's own pixels
// (twice as many in a picture drawn at twice the size).
QRect InPicturePixels(const QPixmap& picture, const QRect& logical);

}  // namespace tonvale
