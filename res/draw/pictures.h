// Every picture the program ships, drawn from scratch.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

namespace tonvale::pictures {

// Window background: the instrument strip is drawn on it and its top-left pixel carries it.
inline const QColor kWindowGreen(20, 100, 20);

inline constexpr int kInstrumentWidth = 171;
inline constexpr int kInstrumentHeight = 141;
inline constexpr int kInstrumentCount = 15;
inline constexpr int kToolbarIcon = 32;
inline constexpr int kToolbarCount = 15;
inline constexpr int kKeyMarkWidth = 38;
inline constexpr int kKeyMarkHeight = 39;
inline constexpr int kPedalMarkWidth = 6 * kKeyMarkWidth;  // the space bar: six keys wide
inline constexpr int kSplashSize = 200;

// Each picture is drawn `scale` times its size (1, or 2 for screens with two device pixels per
// logical pixel) from the same drawing; the sizes below are those at scale 1.
QImage drawInstrumentStrip(int scale = 1);  // 2565 x 141, opaque
QImage drawToolbarStrip(int scale = 1);     // 480 x 32, with transparency
QImage drawSplashPicture(int scale = 1);    // 200 x 200, opaque
QImage drawKeyMarks(int scale = 1);         // 152 x 39, opaque
QImage drawPedalMark(int scale = 1);        // 228 x 39, opaque
QImage drawProgramIcon(int size, int scale = 1);
QImage drawHandCursor();  // 32 x 32, with transparency
QPoint handCursorHotSpot();

}  // namespace tonvale::pictures
