#include "shell/make_font.h"

#include <QPaintDevice>
#include <cmath>

namespace tonvale {

FontSpec ComputeFontSpec(int height_tenths, int width_tenths, int attributes, float dpi_x,
                         float dpi_y) {
  constexpr float kPointsPerInch = 1.0f / 72.0f;
  // Ten times the pixel sizes, truncated toward zero.
  const auto px = static_cast<int>(static_cast<float>(width_tenths) * dpi_x * kPointsPerInch);
  const auto py = static_cast<int>(static_cast<float>(height_tenths) * dpi_y * kPointsPerInch);
  FontSpec spec;
  spec.pixel_height = static_cast<int>(std::abs(py) * 0.1 + 0.5);
  if (width_tenths != 0 && py != 0) {
    spec.stretch = static_cast<int>(std::abs(px) * 100.0 / std::abs(py) + 0.5);
  }
  spec.bold = (attributes & kFontBold) != 0;
  spec.italic = (attributes & kFontItalic) != 0;
  spec.underline = (attributes & kFontUnderline) != 0;
  spec.strike_out = (attributes & kFontStrikeOut) != 0;
  return spec;
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
  const FontSpec spec = ComputeFontSpec(height_tenths, width_tenths, attributes, dpi_x, dpi_y);
  QFont font(face);
  font.setPixelSize(spec.pixel_height > 0 ? spec.pixel_height : kDefaultFontPixelHeight);
  if (spec.stretch > 0) font.setStretch(spec.stretch);
  font.setBold(spec.bold);
  font.setItalic(spec.italic);
  font.setUnderline(spec.underline);
  font.setStrikeOut(spec.strike_out);
  return font;
}

}  // namespace tonvale
