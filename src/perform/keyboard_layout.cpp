#include "perform/keyboard_layout.h"

#include <algorithm>

#include "perform/instrument_catalogue.h"

namespace tonvale {

WindowLayout ComputeLayout(int w, int h, int cx, int cy) {
  WindowLayout l;
  l.x0 = (w - kKeyboardWidth) / 2;
  l.y0 = cy + (h - kKeyboardHeight) / 2;
  l.velocity_bar = {17 * w / 20, 3 * h / 10, w / 40, 4 * h / 10};
  l.pitch_bend_bar = {18 * w / 20, 3 * h / 10, w / 40, 4 * h / 10};
  // Five buttons six cells wide, two cells apart, centred on the middle.
  constexpr int kButtonOffsets[5] = {-19, -11, -3, 5, 13};
  for (std::size_t i = 0; i < l.transport_buttons.size(); ++i) {
    l.transport_buttons[i] = {w / 2 + kButtonOffsets[i] * cx, 8 * h / 10, 6 * cx, 7 * cy / 4};
  }
  l.status_y = h - 4 * cy;
  l.hint_y = h - 3 * cy;
  l.status_device_x = 5 * cx;
  l.status_channel_x = 20 * cx;
  l.picture_x = (w - kPictureWidth) / 2;
  l.key_label_x = (w - kPictureWidth) / 2 + kPictureWidth;
  l.caption_y = 7 * h / 10;
  l.velocity_caption_x = 135 * w / 160;
  l.pitch_bend_caption_x = 143 * w / 160;
  return l;
}

Rect KeyCell(const KeyEntry& entry, int x0, int y0) {
  return {x0 + kHalfKey * entry.column, y0 + kKeyCellHeight * entry.row, kKeyCellWidth,
          kKeyCellHeight};
}

Rect PedalCell(int x0, int y0) {
  constexpr int kColumn = 7;  // C's column in the bottom row
  return {x0 + kHalfKey * kColumn, y0 + kKeyboardHeight, kPedalMarkWidth, kKeyCellHeight};
}

std::optional<std::uint32_t> HitTestKey(int x, int y, int x0, int y0) {
  if (x < x0 || x > x0 + kKeyboardWidth || y < y0 || y > y0 + kKeyboardHeight) {
    return std::nullopt;
  }
  int row = (y - y0) / kKeyCellHeight;
  if (row == 4) row = 3;  // only the bottom edge itself
  int column = 0;
  if (row % 2 == 0) {
    column = 2 * ((x - x0) / kKeyCellWidth);
  } else {
    // Truncation toward zero: the first half key of an odd row is column 1.
    column = 2 * ((x - x0 - kHalfKey) / kKeyCellWidth) + 1;
  }
  column = std::clamp(column, 0, 23);
  for (std::uint32_t i = 0; i < kKeyTable.size(); ++i) {
    const KeyEntry& e = kKeyTable[i];
    if (e.octave != -1 && e.row == row && e.column == column) return i;
  }
  return std::nullopt;
}

std::optional<int> KeyMarkPictureX(bool pressed, int shift) {
  if (!pressed) return 0;
  switch (shift) {
    case 0:
      return kKeyCellWidth;
    case 1:
      return 2 * kKeyCellWidth;
    case -1:
      return 3 * kKeyCellWidth;
    default:
      return std::nullopt;
  }
}

OctaveDots OctaveDotsFor(int octave) {
  switch (octave) {
    case 6:
      return {1, {3, 0}};  // one dot above the label
    case 4:
      return {1, {24, 0}};  // one below
    case 3:
      return {2, {24, 30}};  // two below
    default:
      return {};
  }
}

std::string KeyLabelText(std::string_view instrument, std::int32_t key_mode) {
  std::string text(instrument);
  if (const char* tonic = KeyModeTonicText(key_mode)) {
    text += "    ";
    text += tonic;
  }
  return text;
}

std::string KeyLabelText(std::int32_t program, std::int32_t key_mode) {
  return KeyLabelText(GetInstrumentName(program), key_mode);
}

}  // namespace tonvale
