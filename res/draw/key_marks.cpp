// Four key caps: released, pressed, pressed an octave up, pressed an octave down. The label
// and octave dots are drawn over them in black, so the faces stay light and plain. And the
// held sustain pedal: the space bar, pressed, marked with the pedal sign of printed music.
#include <QFont>
#include <QLinearGradient>

#include "paint_kit.h"
#include "pictures.h"

namespace tonvale::pictures {

namespace {

const QColor kReleasedCap(200, 200, 196);
const QColor kPressedCap(130, 175, 245);

// One cap filling a cell of `width` x kKeyMarkHeight whose top-left corner is the origin.
void drawCap(QPainter& p, double width, const QColor& base, bool pressed) {
  // Skirt of the cap: darker, lit from the top.
  const QRectF skirt(1, 1, width - 2, kKeyMarkHeight - 2);
  QLinearGradient side(0, skirt.top(), 0, skirt.bottom());
  side.setColorAt(0, base.lighter(105));
  side.setColorAt(1, base.darker(165));
  p.setPen(QPen(base.darker(260), 1.0));
  p.setBrush(side);
  p.drawRoundedRect(skirt.adjusted(0.5, 0.5, -0.5, -0.5), 4.5, 4.5);
  // Top face: a pressed key sits lower, so its face moves down a pixel.
  const double drop = pressed ? 1.0 : 0;
  const QRectF face(4.5, 2 + drop, width - 9, kKeyMarkHeight - 6.5);
  QLinearGradient top(0, face.top(), 0, face.bottom());
  top.setColorAt(0, mix(base, Qt::white, 0.55));
  top.setColorAt(1, mix(base, Qt::white, 0.3));
  p.setPen(QPen(base.darker(140), 0.8));
  p.setBrush(top);
  p.drawRoundedRect(face, 3.5, 3.5);
}

}  // namespace

QImage drawKeyMarks(int scale) {
  // Cap base colour per cell, left to right.
  const QColor caps[4] = {kReleasedCap, kPressedCap, QColor(245, 140, 135), QColor(135, 215, 130)};
  QImage image = canvas({kKeyMarkWidth * 4, kKeyMarkHeight}, QImage::Format_RGB32, scale);
  image.fill(kWindowGreen);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(i * kKeyMarkWidth, 0);
    drawCap(p, kKeyMarkWidth, caps[i], i > 0);
    p.restore();
  }
  p.end();
  return image;
}

QImage drawPedalMark(int scale) {
  QImage image = canvas({kPedalMarkWidth, kKeyMarkHeight}, QImage::Format_RGB32, scale);
  image.fill(kWindowGreen);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  drawCap(p, kPedalMarkWidth, kPressedCap, true);
  // "Ped." as scores print it under the notes the pedal holds, black like the key labels,
  // on the face of the pressed bar.
  QFont serif(QStringLiteral("Liberation Serif"));
  serif.setPixelSize(20);
  serif.setBold(true);
  serif.setItalic(true);
  QPainterPath sign;
  sign.addText(0, 0, serif, QStringLiteral("Ped."));
  const QRectF box = sign.boundingRect();
  const QPointF centre(kPedalMarkWidth / 2.0, 3 + (kKeyMarkHeight - 6.5) / 2);
  p.translate(centre - box.center());
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPath(sign);
  p.end();
  return image;
}

}  // namespace tonvale::pictures
