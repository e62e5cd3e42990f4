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

QImage drawInstrumentStrip();  // 2565 x 141, opaque
QImage drawToolbarStrip();     // 480 x 32, with transparency
QImage drawSplashPicture();    // 200 x 200, opaque
QImage drawKeyMarks();         // 152 x 39, opaque
QImage drawProgramIcon(int size);
QImage drawHandCursor();  // 32 x 32, with transparency
QPoint handCursorHotSpot();

}  // namespace tonvale::pictures
