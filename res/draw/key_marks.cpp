// Four key caps: released, pressed, pressed an octave up, pressed an octave down; and the cap
// of the key a song asks for next. The label and octave dots are drawn over them in black, so
// the faces stay light and plain.
#include <QLinearGradient>

#include "paint_kit.h"
#include "pictures.h"

namespace tonvale::pictures {

namespace {

// One cap in the cell whose left edge is at `left`; a pressed key sits lower.
void drawCap(QPainter& p, double left, const QColor& base, bool pressed) {
  p.save();
  p.translate(left, 0);
  // Skirt of the cap: darker, lit from the top.
  const QRectF skirt(1, 1, kKeyMarkWidth - 2, kKeyMarkHeight - 2);
  QLinearGradient side(0, skirt.top(), 0, skirt.bottom());
  side.setColorAt(0, base.lighter(105));
  side.setColorAt(1, base.darker(165));
  p.setPen(QPen(base.darker(260), 1.0));
  p.setBrush(side);
  p.drawRoundedRect(skirt.adjusted(0.5, 0.5, -0.5, -0.5), 4.5, 4.5);
  // Top face: a pressed key's face moves down a pixel.
  const double drop = pressed ? 1.0 : 0;
  const QRectF face(4.5, 2 + drop, kKeyMarkWidth - 9, kKeyMarkHeight - 6.5);
  QLinearGradient top(0, face.top(), 0, face.bottom());
  top.setColorAt(0, mix(base, Qt::white, 0.55));
  top.setColorAt(1, mix(base, Qt::white, 0.3));
  p.setPen(QPen(base.darker(140), 0.8));
  p.setBrush(top);
  p.drawRoundedRect(face, 3.5, 3.5);
  p.restore();
}

}  // namespace

QImage drawKeyMarks(int scale) {
  // Cap base colour per cell, left to right.
  const QColor caps[4] = {QColor(200, 200, 196), QColor(130, 175, 245), QColor(245, 140, 135),
                          QColor(135, 215, 130)};
  QImage image = canvas({kKeyMarkWidth * 4, kKeyMarkHeight}, QImage::Format_RGB32, scale);
  image.fill(kWindowGreen);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < 4; ++i) drawCap(p, i * kKeyMarkWidth, caps[i], i > 0);
  p.end();
  return image;
}

QImage drawHintMark(int scale) {
  // Amber, unlike any pressed colour: the key waits to be pressed, so it stands up.
  QImage image = canvas({kKeyMarkWidth, kKeyMarkHeight}, QImage::Format_RGB32, scale);
  image.fill(kWindowGreen);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  drawCap(p, 0, QColor(250, 190, 40), false);
  p.end();
  return image;
}

}  // namespace tonvale::pictures
