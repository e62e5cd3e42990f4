// The tool-bar strip: fifteen bold 32 x 32 icons on a transparent background.
#include <QLineF>
#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <functional>

#include "figures.h"
#include "paint_kit.h"
#include "pictures.h"

namespace tonvale::pictures {

namespace {

const QColor kOutline(25, 20, 15);

void keyboardIcon(QPainter& p) {
  p.setPen(line(kOutline, 1.2));
  p.setBrush(QColor(40, 40, 45));
  p.drawRoundedRect(QRectF(1.5, 5.5, 29, 22), 2.5, 2.5);
  drawKeyRow(p, QRectF(3, 10, 26, 16), 6, 0, 1.0);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 40, 40));
  p.drawRect(QRectF(3, 7.5, 26, 1.2));
}

void dulcimerIcon(QPainter& p) {
  const QColor wood(160, 80, 30);
  const QLineF legs[] = {{7, 19, 5, 30}, {25, 19, 27, 30}};
  p.setPen(line(kOutline, 2.6));
  for (const QLineF& leg : legs) p.drawLine(leg);
  p.setPen(line(wood.darker(110), 1.4));
  for (const QLineF& leg : legs) p.drawLine(leg);
  p.setPen(line(kOutline, 1.0));
  p.setBrush(wood);
  p.drawRect(QRectF(3, 17, 26, 4));
  QPolygonF top;
  top << QPointF(10, 4) << QPointF(22, 4) << QPointF(30, 17) << QPointF(2, 17);
  p.setBrush(QColor(235, 195, 120));
  p.drawPolygon(top);
  p.setPen(line(QColor(120, 70, 30), 0.7));
  for (int i = 0; i < 5; ++i) {
    const double y = 6.5 + i * 2.4;
    const double t = (y - 4) / 13;
    p.drawLine(QPointF(10 - 8 * t + 1, y), QPointF(22 + 8 * t - 1, y));
  }
  p.setPen(line(QColor(250, 245, 230), 1.4));
  p.drawLine(QPointF(12, 5), QPointF(9, 16));
  p.drawLine(QPointF(20, 5), QPointF(23, 16));
}

void organIcon(QPainter& p) {
  const int pipes = 7;
  for (int i = 0; i < pipes; ++i) {
    const double h = 20 - std::abs(i - 3) * 3.5;
    const QRectF pipe(4 + i * 3.6, 18 - h, 3.2, h);
    QLinearGradient g(pipe.topLeft(), pipe.topRight());
    g.setColorAt(0, QColor(150, 150, 160));
    g.setColorAt(0.4, QColor(245, 245, 250));
    g.setColorAt(1, QColor(120, 120, 130));
    p.setPen(line(kOutline, 0.8));
    p.setBrush(g);
    p.drawRect(pipe);
    p.setBrush(kOutline);
    p.drawRect(QRectF(pipe.left() + 1, pipe.bottom() - 4, 1.2, 1.6));
  }
  p.setPen(line(kOutline, 1.0));
  p.setBrush(QColor(120, 60, 25));
  p.drawRect(QRectF(2, 18, 28, 12));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 250, 245));
  p.drawRect(QRectF(4, 21, 24, 4));
  p.setBrush(QColor(20, 20, 20));
  for (int i = 0; i < 7; ++i) {
    if (i == 2 || i == 6) continue;
    p.drawRect(QRectF(6.4 + i * 3.4, 21, 1.6, 2.4));
  }
}

// Shared by the two guitar icons: a neck with a head, drawn upright in pixels.
void neckAndHead(QPainter& p, double top, double bottom, double width, double headLen,
                 const QColor& neck, const QColor& head) {
  p.setPen(line(kOutline, 0.8));
  p.setBrush(neck);
  p.drawRect(QRectF(-width / 2, top, width, bottom - top));
  p.setBrush(head);
  p.drawRoundedRect(QRectF(-width / 2 - 0.8, top - headLen, width + 1.6, headLen), 1, 1);
}

void guitarIcon(QPainter& p) {
  Place f(p, {16.5, 15.5}, 45, 1.0);
  p.translate(0, 4);
  neckAndHead(p, -17, 0, 2.8, 5.5, QColor(80, 45, 25), QColor(60, 35, 20));
  p.save();
  p.scale(0.2, 0.2);
  QRadialGradient varnish(QPointF(-4, 30), 40);
  varnish.setColorAt(0, QColor(245, 170, 70));
  varnish.setColorAt(1, QColor(190, 90, 25));
  fillOutlined(p, acousticBodyOutline(), varnish, kOutline, 5);
  p.setPen(Qt::NoPen);
  p.setBrush(kOutline);
  p.drawEllipse(QPointF(0, 10), 9, 9);
  p.drawRoundedRect(QRectF(-12, 42, 24, 8), 3, 3);
  p.restore();
  p.setPen(line(QColor(240, 240, 240), 0.5));
  p.drawLine(QPointF(-0.6, 9), QPointF(-0.6, -17));
  p.drawLine(QPointF(0.6, 9), QPointF(0.6, -17));
}

void bassIcon(QPainter& p) {
  Place f(p, {16.5, 16.5}, -42, 1.0);
  p.translate(0, 4);
  neckAndHead(p, -17, 0, 2.6, 5, QColor(225, 180, 110), QColor(225, 180, 110));
  p.save();
  p.scale(0.19, 0.19);
  QRadialGradient burst(QPointF(2, 34), 44);
  burst.setColorAt(0, QColor(250, 200, 70));
  burst.setColorAt(0.5, QColor(220, 110, 30));
  burst.setColorAt(1, QColor(60, 18, 8));
  fillOutlined(p, solidBodyOutline(), burst, kOutline, 5.5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 20, 20));
  p.drawRoundedRect(QRectF(-10, 22, 20, 7), 3, 3);
  p.setBrush(QColor(210, 215, 220));
  p.drawRect(QRectF(-10, 52, 20, 8));
  p.restore();
  p.setPen(line(kOutline, 0.6));
  p.setBrush(QColor(220, 220, 225));
  for (int i = 0; i < 2; ++i) {
    p.drawEllipse(QPointF(-2.6, -18 - i * 2.2), 0.9, 0.9);
    p.drawEllipse(QPointF(2.6, -18 - i * 2.2), 0.9, 0.9);
  }
}

void violinIcon(QPainter& p) {
  Place f(p, {16, 16}, 38, 1.0);
  p.translate(0, 5);
  p.save();
  p.scale(0.24, 0.24);
  QRadialGradient varnish(QPointF(-3, 2), 44);
  varnish.setColorAt(0, QColor(240, 150, 55));
  varnish.setColorAt(1, QColor(150, 55, 15));
  fillOutlined(p, violinBodyOutline(), varnish, kOutline, 4.5);
  p.setPen(line(QColor(60, 20, 5), 2.4));
  p.setBrush(Qt::NoBrush);
  for (int side : {-1, 1}) {
    QPainterPath fHole(QPointF(side * 9, -9));
    fHole.cubicTo(QPointF(side * 12, -4), QPointF(side * 6, 8), QPointF(side * 10, 14));
    p.drawPath(fHole);
  }
  p.restore();
  p.setPen(line(kOutline, 0.7));
  p.setBrush(QColor(150, 70, 25));
  p.drawRect(QRectF(-1.2, -21, 2.4, 10));
  p.setBrush(QColor(20, 15, 12));
  p.drawRect(QRectF(-1.3, -20, 2.6, 21));
  p.setBrush(QColor(140, 65, 20));
  p.drawEllipse(QPointF(0, -22.5), 1.9, 2.2);
  p.setBrush(QColor(20, 15, 12));
  p.drawRoundedRect(QRectF(-1.4, 5.5, 2.8, 4.5), 1, 1);
}

void guitarOverKeysIcon(QPainter& p) {
  p.setPen(line(kOutline, 1.0));
  p.setBrush(QColor(40, 40, 45));
  p.drawRect(QRectF(1.5, 18.5, 29, 12));
  drawKeyRow(p, QRectF(2.5, 20, 27, 10), 6, 0, 0.8);
  Place f(p, {17, 12}, -45, 0.12);
  p.translate(0, 30);
  drawSolidBodyGuitar(p, QColor(215, 30, 30), false, 8);
}

void hornIcon(QPainter& p) {
  const QColor brass(230, 180, 50);
  QPainterPath loop(QPointF(11, 17));
  loop.lineTo(7, 17);
  loop.cubicTo(QPointF(3, 17), QPointF(3, 23), QPointF(7, 23));
  loop.lineTo(21, 23);
  loop.cubicTo(QPointF(24, 23), QPointF(24, 17), QPointF(21, 17));
  drawTube(p, loop, 2.0, brass.darker(110));
  QPainterPath lead(QPointF(1.5, 12));
  lead.lineTo(18, 12);
  drawTube(p, lead, 2.0, brass);
  QPainterPath axis(QPointF(17, 12));
  axis.lineTo(31, 12);
  const QPainterPath bell = tubeOutline(
      axis, [](double t) { return 2.0 + 15 * (std::exp(4.0 * t) - 1) / (std::exp(4.0) - 1); });
  QLinearGradient g(0, 4, 0, 20);
  g.setColorAt(0, brass.lighter(140));
  g.setColorAt(1, brass.darker(160));
  fillOutlined(p, bell, g, kOutline, 0.9);
  p.setPen(line(kOutline, 0.8));
  for (int i = 0; i < 3; ++i) {
    p.setBrush(brass);
    p.drawRect(QRectF(10 + i * 3, 9, 2.4, 11));
    p.setBrush(QColor(250, 245, 230));
    p.drawRect(QRectF(9.6 + i * 3, 6.5, 3.2, 1.6));
  }
}

void saxophoneIcon(QPainter& p) {
  Place f(p, {14.5, 16.5}, 6, 0.2);
  drawSaxophone(p, 5.5);
}

void fluteIcon(QPainter& p) {
  Place f(p, {3, 28}, -45, 1.0);
  QLinearGradient silver(0, -2.5, 0, 2.5);
  silver.setColorAt(0, QColor(130, 135, 145));
  silver.setColorAt(0.35, QColor(250, 250, 255));
  silver.setColorAt(1, QColor(110, 115, 125));
  p.setPen(line(kOutline, 0.9));
  p.setBrush(silver);
  p.drawRoundedRect(QRectF(0, -2.4, 35, 4.8), 1.5, 1.5);
  p.setPen(line(QColor(70, 70, 80), 0.8));
  p.drawLine(QPointF(9, -2.4), QPointF(9, 2.4));
  p.drawLine(QPointF(28, -2.4), QPointF(28, 2.4));
  p.setBrush(QColor(60, 60, 70));
  p.drawEllipse(QPointF(31.5, -0.2), 1.3, 1.0);
  p.setBrush(QColor(235, 235, 240));
  for (int i = 0; i < 5; ++i) p.drawEllipse(QPointF(12 + i * 3.4, 0), 1.3, 1.3);
}

void moonIcon(QPainter& p) {
  QLinearGradient night(0, 1, 0, 31);
  night.setColorAt(0, QColor(10, 15, 60));
  night.setColorAt(1, QColor(40, 60, 140));
  p.setPen(line(kOutline, 1.0));
  p.setBrush(night);
  p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 4, 4);
  QPainterPath disc;
  disc.addEllipse(QPointF(14, 16), 10, 10);
  QPainterPath bite;
  bite.addEllipse(QPointF(19.5, 12.5), 9, 9);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 225, 90));
  p.drawPath(disc.subtracted(bite));
  p.setBrush(QColor(255, 255, 230));
  p.drawPath(star(QPointF(24, 21), 2.6, 1.1));
  p.drawPath(star(QPointF(21, 6), 1.8, 0.8));
  p.drawPath(star(QPointF(7, 6), 1.6, 0.7));
}

void zitherIcon(QPainter& p) {
  Place f(p, {16, 16}, -35, 1.0);
  QLinearGradient wood(0, -6, 0, 6);
  wood.setColorAt(0, QColor(175, 105, 50));
  wood.setColorAt(0.4, QColor(230, 170, 100));
  wood.setColorAt(1, QColor(140, 80, 35));
  p.setPen(line(kOutline, 1.0));
  p.setBrush(wood);
  p.drawRoundedRect(QRectF(-17, -6.5, 34, 13), 2, 2);
  p.setBrush(QColor(40, 25, 20));
  p.drawRect(QRectF(-17, -6.5, 4, 13));
  p.drawRect(QRectF(13, -6.5, 4, 13));
  p.setPen(line(QColor(255, 252, 240), 0.6));
  for (int i = 0; i < 5; ++i)
    p.drawLine(QPointF(-13, -4.5 + i * 2.25), QPointF(13, -4.5 + i * 2.25));
  p.setPen(line(QColor(80, 60, 40), 0.4));
  p.setBrush(QColor(255, 252, 240));
  for (int i = 0; i < 5; ++i) {
    const double y = -4.5 + i * 2.25;
    const double x = -6 + i * 3;
    QPolygonF b;
    b << QPointF(x - 1.6, y + 1.1) << QPointF(x, y - 0.9) << QPointF(x + 1.6, y + 1.1);
    p.drawPolygon(b);
  }
}

void steelDrumIcon(QPainter& p) {
  const QColor chrome(205, 210, 220);
  QPainterPath side(QPointF(2, 12));
  side.lineTo(2, 20);
  side.arcTo(QRectF(2, 13, 28, 14), 180, 180);
  side.lineTo(30, 12);
  side.closeSubpath();
  QLinearGradient g(2, 0, 30, 0);
  g.setColorAt(0, chrome.darker(190));
  g.setColorAt(0.3, QColor(250, 250, 255));
  g.setColorAt(1, chrome.darker(200));
  fillOutlined(p, side, g, kOutline, 1.0);
  QRadialGradient bowl(QPointF(16, 13), 14);
  bowl.setColorAt(0, chrome.darker(170));
  bowl.setColorAt(1, QColor(245, 245, 250));
  p.setPen(line(kOutline, 1.0));
  p.setBrush(bowl);
  p.drawEllipse(QRectF(2, 5, 28, 14));
  p.setPen(line(QColor(80, 80, 90), 0.7));
  p.setBrush(Qt::NoBrush);
  for (QPointF c :
       {QPointF(9, 10), QPointF(16, 8.5), QPointF(23, 10), QPointF(12, 14), QPointF(20, 14)})
    p.drawEllipse(c, 2.6, 1.5);
  p.setPen(line(QColor(20, 20, 20), 1.6));
  p.drawLine(QPointF(16, 25), QPointF(16, 30.5));
  p.drawLine(QPointF(10, 30.5), QPointF(22, 30.5));
}

void sunsetIcon(QPainter& p) {
  QPainterPath tile;
  tile.addRoundedRect(QRectF(1.5, 1.5, 29, 29), 4, 4);
  p.save();
  p.setClipPath(tile);
  QLinearGradient sky(0, 1, 0, 19);
  sky.setColorAt(0, QColor(120, 50, 120));
  sky.setColorAt(0.55, QColor(240, 110, 60));
  sky.setColorAt(1, QColor(255, 200, 90));
  p.fillRect(QRectF(0, 0, 32, 19), sky);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 235, 120));
  p.drawEllipse(QPointF(16, 19), 7, 7);
  QLinearGradient sea(0, 19, 0, 31);
  sea.setColorAt(0, QColor(30, 70, 140));
  sea.setColorAt(1, QColor(10, 30, 80));
  p.fillRect(QRectF(0, 19, 32, 13), sea);
  p.setPen(line(QColor(255, 210, 100), 1.2));
  p.drawLine(QPointF(10, 21.5), QPointF(22, 21.5));
  p.drawLine(QPointF(12, 24.5), QPointF(20, 24.5));
  p.drawLine(QPointF(14, 27.5), QPointF(18, 27.5));
  p.restore();
  p.setBrush(Qt::NoBrush);
  p.setPen(line(kOutline, 1.0));
  p.drawPath(tile);
}

void drumKitIcon(QPainter& p) {
  const QColor shell(200, 30, 40);
  // Cymbal on its stand.
  p.setPen(line(QColor(40, 40, 40), 1.0));
  p.drawLine(QPointF(27, 8), QPointF(28, 30));
  p.setPen(line(QColor(120, 90, 10), 0.8));
  p.setBrush(QColor(235, 195, 70));
  p.drawEllipse(QPointF(26, 7.5), 5.5, 1.8);
  // Toms.
  for (QPointF c : {QPointF(10, 10), QPointF(19, 10)}) {
    p.setPen(line(kOutline, 0.9));
    p.setBrush(shell);
    p.drawRect(QRectF(c.x() - 4, c.y(), 8, 6));
    p.setBrush(QColor(245, 240, 230));
    p.drawEllipse(c, 4, 1.6);
  }
  // Bass drum face.
  QRadialGradient face(QPointF(13, 19), 11);
  face.setColorAt(0, QColor(255, 255, 250));
  face.setColorAt(1, QColor(215, 210, 200));
  p.setPen(line(kOutline, 1.0));
  p.setBrush(shell);
  p.drawEllipse(QPointF(14.5, 21.5), 10, 10);
  p.setBrush(face);
  p.drawEllipse(QPointF(14.5, 21.5), 7.8, 7.8);
  p.setPen(line(shell, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(14.5, 21.5), 3, 3);
  // Snare at the side.
  p.setPen(line(kOutline, 0.9));
  p.setBrush(QColor(190, 195, 205));
  p.drawRect(QRectF(1.5, 19, 6, 5));
  p.setBrush(QColor(245, 240, 230));
  p.drawEllipse(QPointF(4.5, 19), 3, 1.2);
}

}  // namespace

QImage drawToolbarStrip(int scale) {
  QImage strip = canvas({kToolbarIcon * kToolbarCount, kToolbarIcon},
                        QImage::Format_ARGB32_Premultiplied, scale);
  strip.fill(Qt::transparent);
  QPainter p(&strip);
  p.setRenderHint(QPainter::Antialiasing);
  const std::function<void(QPainter&)> icons[kToolbarCount] = {
      keyboardIcon, dulcimerIcon,       organIcon,     guitarIcon,    bassIcon,
      violinIcon,   guitarOverKeysIcon, hornIcon,      saxophoneIcon, fluteIcon,
      moonIcon,     zitherIcon,         steelDrumIcon, sunsetIcon,    drumKitIcon};
  for (int i = 0; i < kToolbarCount; ++i) {
    p.save();
    p.translate(i * kToolbarIcon, 0);
    p.setClipRect(QRect(0, 0, kToolbarIcon, kToolbarIcon));
    icons[i](p);
    p.restore();
  }
  p.end();
  return strip.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace tonvale::pictures
