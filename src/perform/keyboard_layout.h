// Where the main window puts things: the keyboard picture and its key cells,
// the scroll bars, the transport buttons, the instrument picture and the
// texts; the mouse hit test on the pictured keys; the octave dots; the key
// label. Pure arithmetic on client pixels, so it is tested without a window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "perform/key_table.h"

namespace tonvale {

inline constexpr int kKeyboardWidth = 475;   // 23 half keys of 19 + one key of 38
inline constexpr int kKeyboardHeight = 156;  // 4 rows of 39
inline constexpr int kKeyCellWidth = 38;
inline constexpr int kKeyCellHeight = 39;
inline constexpr int kHalfKey = 19;
inline constexpr int kLabelLift = 4;  // the label sits 4 px above the cell centre

inline constexpr int kPictureWidth = 171;
inline constexpr int kPictureHeight = 141;
inline constexpr int kPictureTop = 50;
inline constexpr int kKeyLabelTop = 115;

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

// Everything placed from the client size `w` x `h` and the character cell
// `cx` x `cy`. Integer divisions truncate toward zero, multiplication first;
// nothing is clamped, so a narrow window gives a negative x0.
struct WindowLayout {
  int x0 = 0;  // top-left corner of the keyboard picture
  int y0 = 0;
  Rect velocity_bar;
  Rect pitch_bend_bar;
  std::array<Rect, 5> transport_buttons;  // start/stop recording, play, loop, stop
  int status_y = 0;                       // status line
  int hint_y = 0;                         // hint line
  int status_device_x = 0;
  int status_channel_x = 0;
  int picture_x = 0;    // instrument picture, at y = kPictureTop
  int key_label_x = 0;  // key label, at y = kKeyLabelTop
  int caption_y = 0;
  int velocity_caption_x = 0;
  int pitch_bend_caption_x = 0;
};

WindowLayout ComputeLayout(int w, int h, int cx, int cy);

// The cell of a playing key: left x0 + 19 x column, top y0 + 39 x row.
Rect KeyCell(const KeyEntry& entry, int x0, int y0);

// The mark of a held sustain pedal: a space bar below the bottom row, six
// keys wide, under C to comma as on a PC keyboard.
inline constexpr int kPedalMarkWidth = 6 * kKeyCellWidth;
Rect PedalCell(int x0, int y0);

// The key under a mouse press at client (x, y), as its table index, or
// nothing. Bounds are inclusive: y0 + 156 counts as row 3, and the first 19
// pixels of an odd row give column 1.
std::optional<std::uint32_t> HitTestKey(int x, int y, int x0, int y0);

// Left edge of the key-mark picture cell to copy: grey when released; blue,
// red or green when pressed under shift 0, +1 or -1. Nothing for any other
// shift (only the label and dots are drawn then).
std::optional<int> KeyMarkPictureX(bool pressed, int shift);

// Octave dots of numbered notation for a key's written octave: 4 x 4 circles
// centred at cell left + 19; tops measured from the top of the cell.
struct OctaveDots {
  int count = 0;
  std::array<int, 2> tops{};
};
inline constexpr int kDotSize = 4;
OctaveDots OctaveDotsFor(int octave);

// "<instrument>    1=C" and so on; just the instrument name when the key
// mode is no key mode. The tonic part is numbered notation, the same in
// every language; the window passes the instrument's name in its own.
std::string KeyLabelText(std::string_view instrument, std::int32_t key_mode);
// The same with the catalogue's name of `program`.
std::string KeyLabelText(std::int32_t program, std::int32_t key_mode);

}  // namespace tonvale
