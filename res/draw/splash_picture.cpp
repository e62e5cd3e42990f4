// The splash picture, also shown in the About box: the name over a curved keyboard on a
// night-blue stage.
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>

#include "paint_kit.h"
#include "pictures.h"

namespace tonvale::pictures {

namespace {

// An eighth note: head, stem and flag, the head centred on `at`.
QPainterPath eighthNote(QPointF at, double size) {
  QPainterPath note;
  QPainterPath head;
  head.addEllipse(QPointF(0, 0), size * 0.62, size * 0.42);
  QTransform tilt;
  tilt.rotate(-22);
  note.addPath(tilt.map(head));
  note.addRect(QRectF(size * 0.46, -size * 2.6, size * 0.16, size * 2.6));
  QPainterPath flag(QPointF(size * 0.62, -size * 2.6));
  flag.cubicTo(QPointF(size * 0.7, -size * 1.9), QPointF(size * 1.5, -size * 1.7),
               QPointF(size * 1.2, -size * 0.9));
  flag.cubicTo(QPointF(size * 1.2, -size * 1.5), QPointF(size * 0.8, -size * 1.7),
               QPointF(size * 0.62, -size * 1.9));
  flag.closeSubpath();
  note.addPath(flag);
  note.setFillRule(Qt::WindingFill);
  return note.translated(at).simplified();
}

}  // namespace

QImage drawSplashPicture(int scale) {
  QImage image = canvas({kSplashSize, kSplashSize}, QImage::Format_RGB32, scale);
  const QRect area(0, 0, kSplashSize, kSplashSize);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  QLinearGradient stage(0, 0, 0, 200);
  stage.setColorAt(0, QColor(18, 22, 70));
  stage.setColorAt(0.6, QColor(60, 35, 110));
  stage.setColorAt(1, QColor(25, 15, 50));
  p.fillRect(area, stage);
  QRadialGradient spot(QPointF(100, 62), 95);
  spot.setColorAt(0, QColor(255, 230, 170, 120));
  spot.setColorAt(1, QColor(255, 230, 170, 0));
  p.fillRect(area, spot);

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 250, 220, 210));
  for (QPointF s : {QPointF(22, 20), QPointF(176, 28), QPointF(150, 12), QPointF(40, 52),
                    QPointF(182, 70), QPointF(14, 96)})
    p.drawPath(star(s, 2.4, 1.0));

  // Notes rising from the keys.
  const struct {
    QPointF at;
    double size;
    QColor colour;
  } notes[] = {{{36, 145}, 7, QColor(255, 215, 110)},
               {{78, 131}, 6, QColor(255, 160, 190)},
               {{122, 140}, 7, QColor(140, 210, 255)},
               {{162, 128}, 6, QColor(170, 255, 170)}};
  for (const auto& n : notes) {
    p.setBrush(n.colour);
    p.drawPath(eighthNote(n.at, n.size));
  }

  // The curved keyboard across the bottom.
  QPainterPath front(QPointF(-8, 204));
  front.cubicTo(QPointF(50, 166), QPointF(150, 166), QPointF(208, 204));
  drawCurvedKeys(p, front, 26, 18, 0.8);

  // The name: gold letters with a dark rim and a soft glow behind.
  QFont title("DejaVu Serif");
  title.setBold(true);
  title.setItalic(true);
  title.setPixelSize(42);
  QPainterPath name;
  const QString text = QStringLiteral("Tonvale");
  const double w = QFontMetricsF(title).horizontalAdvance(text);
  name.addText(QPointF((200 - w) / 2, 84), title, text);
  p.setPen(line(QColor(255, 220, 140, 60), 9));
  p.setBrush(Qt::NoBrush);
  p.drawPath(name);
  QLinearGradient gold(0, 50, 0, 86);
  gold.setColorAt(0, QColor(255, 245, 190));
  gold.setColorAt(0.5, QColor(250, 200, 70));
  gold.setColorAt(1, QColor(200, 120, 20));
  p.setPen(line(QColor(60, 25, 5), 2.2));
  p.setBrush(gold);
  p.drawPath(name);

  QFont sub("DejaVu Sans");
  sub.setPixelSize(11);
  sub.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  p.setFont(sub);
  p.setPen(QColor(225, 225, 255));
  p.drawText(QRectF(0, 92, 200, 16), Qt::AlignHCenter | Qt::AlignTop,
             QStringLiteral("play your keyboard"));
  p.end();
  return image;
}

}  // namespace tonvale::pictures
