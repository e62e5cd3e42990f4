#include "shell/make_font.h"

#include <QPaintDevice>
#include <cmath>

namespace tonvale {

FontRequest ComputeFontRequest(int height_tenths, int width_tenths, int attributes, float dpi_x,
                               float dpi_y) {
  constexpr float kPointsPerInch = 1.0f / 72.0f;
  // Ten times the pixel sizes, truncated toward zero.
  const auto px = static_cast<int>(static_cast<float>(width_tenths) * dpi_x * kPointsPerInch);
  const auto py = static_cast<int>(static_cast<float>(height_tenths) * dpi_y * kPointsPerInch);
  FontRequest setup;
  setup.pixel_height = static_cast<int>(std::abs(py) * 0.1 + 0.5);
  if (width_tenths != 0 && py != 0) {
    setup.stretch = static_cast<int>(std::abs(px) * 100.0 / std::abs(py) + 0.5);
  }
  setup.bold = (attributes & kFontBold) != 0;
  setup.italic = (attributes & kFontItalic) != 0;
  setup.underline = (attributes & kFontUnderline) != 0;
  setup.strike_out = (attributes & kFontStrikeOut) != 0;
  return setup;
}

QFont MakeFont(const QPaintDevice& device, const QString& face, int height_tenths, int width_tenths,
               int attributes, bool logical_resolution) {
  float dpi_x = 96.0f;
  float dpi_y = 96.0f;
  if (logical_resolution) {
    dpi_x = static_cast<float>(device.logicalDpiX());
    dpi_y = static_cast<float>(device.logicalDpiY());
  } else if (device.widthMM() > 0 && device.heightMM() > 0) {
    dpi_x = static_cast<float>(device.width() * 25.4 / device.widthMM());
    dpi_y = static_cast<float>(device.height() * 25.4 / device.heightMM());
  }
  const FontRequest setup =
      ComputeFontRequest(height_tenths, width_tenths, attributes, dpi_x, dpi_y);
  QFont font(face);
  font.setPixelSize(setup.pixel_height > 0 ? setup.pixel_height : kDefaultFontPixelHeight);
  if (setup.stretch > 0) font.setStretch(setup.stretch);
  font.setBold(setup.bold);
  font.setItalic(setup.italic);
  font.setUnderline(setup.underline);
  font.setStrikeOut(setup.strike_out);
  return font;
}

}  // namespace tonvale
