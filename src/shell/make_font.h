// Fonts made from a face name and a size in tenths of a point, for the key labels.
#pragma once

#include <QFont>
#include <QString>

class QPaintDevice;

namespace tonvale {

enum FontAttributes : int {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};

// A face asked for with height 0 gets the usual default: a 16-pixel
// character cell, which is a 14-pixel em for Times New Roman and its twins.
inline constexpr int kDefaultFontPixelHeight = 14;

struct FontRequest {
  int pixel_height = 0;  // 0: the default height
  int stretch = 0;       // percent of the face's own width; 0: its own proportions
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  bool operator==(const FontRequest&) const = default;
};

// The arithmetic: a point is 1/72 inch at the given resolution in dots per
// inch; sizes are in tenths of a point, rounded to whole pixels. Attribute
// bits other than the four above are ignored.
FontRequest ComputeFontRequest(int height_tenths, int width_tenths, int attributes, float dpi_x,
                               float dpi_y);

// The font for drawing on `device`: at its logical resolution when
// `logical_resolution`, else at the resolution of its physical size.
QFont MakeFont(const QPaintDevice& device, const QString& face, int height_tenths, int width_tenths,
               int attributes, bool logical_resolution);

}  // namespace tonvale
