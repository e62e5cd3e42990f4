// The program icon: a keyboard key with a note on it, on a blue tile.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "paint_kit.h"
#include "pictures.h"

namespace tonvale::pictures {

QImage drawProgramIcon(int size, int scale) {
  QImage image = canvas({size, size}, QImage::Format_ARGB32_Premultiplied, scale);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  const bool tiny = size <= 16;
  // Small sizes lose the tile and keep only a bolder key.
  if (!tiny) {
    QLinearGradient tile(0, 0, 0, 32);
    tile.setColorAt(0, QColor(70, 110, 220));
    tile.setColorAt(1, QColor(25, 40, 120));
    p.setPen(QPen(QColor(15, 25, 80), 0.8));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
  }
  const QRectF cap = tiny ? QRectF(1, 1, 30, 30) : QRectF(5, 4.5, 22, 23.5);
  QLinearGradient skirt(0, cap.top(), 0, cap.bottom());
  skirt.setColorAt(0, QColor(235, 235, 232));
  skirt.setColorAt(1, QColor(150, 150, 150));
  p.setPen(QPen(QColor(40, 40, 45), tiny ? 2.0 : 0.9));
  p.setBrush(skirt);
  p.drawRoundedRect(cap, 3.5, 3.5);
  const QRectF face = cap.adjusted(cap.width() * 0.12, cap.height() * 0.07, -cap.width() * 0.12,
                                   -cap.height() * 0.2);
  QLinearGradient top(0, face.top(), 0, face.bottom());
  top.setColorAt(0, QColor(255, 255, 255));
  top.setColorAt(1, QColor(228, 228, 226));
  p.setPen(QPen(QColor(150, 150, 150), tiny ? 0.0 : 0.5));
  if (tiny) p.setPen(Qt::NoPen);
  p.setBrush(top);
  p.drawRoundedRect(face, 2.5, 2.5);

  // The note: head, stem and flag, scaled into the face.
  const double u = face.width() / 16.0;
  const QPointF headAt(face.left() + face.width() * 0.4, face.top() + face.height() * 0.74);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 20, 25));
  p.save();
  p.translate(headAt);
  p.rotate(-22);
  p.drawEllipse(QPointF(0, 0), 3.2 * u, 2.3 * u);
  p.restore();
  const double stemX = headAt.x() + 2.55 * u;
  const double stemTop = face.top() + face.height() * 0.1;
  p.drawRect(QRectF(stemX - 1.0 * u, stemTop, 1.2 * u, headAt.y() - stemTop - 0.5 * u));
  QPainterPath flag(QPointF(stemX, stemTop));
  flag.cubicTo(QPointF(stemX + 0.5 * u, stemTop + 3.5 * u), QPointF(stemX + 5 * u, stemTop + 4 * u),
               QPointF(stemX + 3.2 * u, stemTop + 8.5 * u));
  flag.cubicTo(QPointF(stemX + 3.6 * u, stemTop + 5.5 * u), QPointF(stemX + 1 * u, stemTop + 5 * u),
               QPointF(stemX, stemTop + 4.2 * u));
  flag.closeSubpath();
  p.drawPath(flag);
  p.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace tonvale::pictures
