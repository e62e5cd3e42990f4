#include "figures.h"

#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>

#include "paint_kit.h"

namespace tonvale::pictures {

namespace {

const QColor kBrass(226, 178, 52);
const QColor kChrome(200, 205, 212);
const QColor kDarkLine(35, 22, 12);

// Fret positions follow the equal-tempered rule from nut to saddle.
void drawFrets(QPainter& p, double nutY, double saddleY, double stopY, double halfWidth,
               double ink) {
  p.setPen(line(QColor(210, 210, 215), std::max(0.6, ink * 0.4)));
  const double scale = saddleY - nutY;
  for (int i = 1; i < 30; ++i) {
    const double y = nutY + scale * (1 - std::pow(2.0, -i / 12.0));
    if (y > stopY) break;
    p.drawLine(QPointF(-halfWidth, y), QPointF(halfWidth, y));
  }
}

void drawStrings(QPainter& p, int count, double bottomY, double bottomSpread, double topY,
                 double topSpread, double ink) {
  p.setPen(line(QColor(235, 235, 235, 210), std::max(0.45, ink * 0.25)));
  for (int i = 0; i < count; ++i) {
    const double f = count == 1 ? 0 : static_cast<double>(i) / (count - 1) - 0.5;
    p.drawLine(QPointF(f * bottomSpread, bottomY), QPointF(f * topSpread, topY));
  }
}

}  // namespace

QPainterPath acousticBodyOutline() {
  return mirroredOutline(QPointF(0, -24), {{{12, -24}, {21, -16}, {21, -4}},
                                           {{21, 6}, {14, 10}, {15, 16}},
                                           {{16, 22}, {28, 28}, {28, 44}},
                                           {{28, 60}, {14, 68}, {0, 68}}});
}

QPainterPath solidBodyOutline() {
  const QPointF c1[] = {{-10, -10}, {-30, -18}, {-26, 18}, {-36, 44},
                        {4, 80},    {34, 44},   {22, 16},  {18, -14}};
  const QPointF c2[] = {{-18, -22}, {-30, -4}, {-24, 22}, {-36, 70},
                        {30, 74},   {26, 34},  {26, 2},   {12, -10}};
  const QPointF end[] = {{-24, -20}, {-28, 8}, {-28, 30}, {-12, 76},
                         {32, 56},   {24, 26}, {20, -8},  {8, -2}};
  QPainterPath outline(QPointF(-8, -2));
  for (int i = 0; i < 8; ++i) outline.cubicTo(c1[i], c2[i], end[i]);
  outline.closeSubpath();
  return outline;
}

QPainterPath violinBodyOutline() {
  return mirroredOutline(QPointF(0, -40), {{{10, -40}, {19, -36}, {19, -24}},
                                           {{19, -16}, {14, -14}, {12, -10}},
                                           {{10, -6}, {10, 2}, {12, 6}},
                                           {{15, 10}, {23, 12}, {23, 24}},
                                           {{23, 38}, {12, 44}, {0, 44}}});
}

void drawAcousticGuitar(QPainter& p, const QColor& body, bool withStrap, double ink) {
  p.save();
  if (withStrap) {
    QPainterPath strap(QPointF(0, 66));
    strap.cubicTo(QPointF(70, 80), QPointF(78, -58), QPointF(6, -28));
    p.setBrush(Qt::NoBrush);
    p.setPen(line(QColor(20, 12, 8), 10 + ink));
    p.drawPath(strap);
    p.setPen(line(QColor(105, 62, 30), 9));
    p.drawPath(strap);
    QPen stitch(QColor(225, 190, 120), 0.9, Qt::DashLine);
    stitch.setDashPattern({2, 2});
    p.setPen(stitch);
    p.drawPath(strap);
  }

  // Neck and head first: the body covers the heel.
  QPolygonF neck;
  neck << QPointF(-4.5, -112) << QPointF(4.5, -112) << QPointF(5.5, -18) << QPointF(-5.5, -18);
  p.setPen(line(kDarkLine, ink));
  p.setBrush(QColor(135, 85, 40));
  p.drawPolygon(neck);
  QPolygonF board;
  board << QPointF(-4, -111) << QPointF(4, -111) << QPointF(5, -18) << QPointF(-5, -18);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(55, 32, 20));
  p.drawPolygon(board);
  drawFrets(p, -111, 46, -24, 4.6, ink);

  QPainterPath head(QPointF(-4.5, -111));
  head.lineTo(-7.5, -131);
  head.quadTo(0, -136, 7.5, -131);
  head.lineTo(4.5, -111);
  head.closeSubpath();
  fillOutlined(p, head, QColor(70, 40, 22), kDarkLine, ink);
  p.setPen(line(kDarkLine, ink * 0.6));
  p.setBrush(kChrome);
  for (int i = 0; i < 3; ++i) {
    const double y = -116.5 - i * 6;
    p.drawEllipse(QPointF(-10.5 - i * 0.5, y), 2.6, 1.8);
    p.drawEllipse(QPointF(10.5 + i * 0.5, y), 2.6, 1.8);
  }
  p.setPen(line(QColor(240, 235, 220), 1.2));
  p.drawLine(QPointF(-4.3, -111), QPointF(4.3, -111));  // nut

  const QPainterPath outline = acousticBodyOutline();
  QRadialGradient varnish(QPointF(-4, 30), 40, QPointF(-8, 22));
  varnish.setColorAt(0, body.lighter(135));
  varnish.setColorAt(0.55, body);
  varnish.setColorAt(1, body.darker(170));
  fillOutlined(p, outline, varnish, kDarkLine, ink);
  // Cream binding just inside the edge.
  p.save();
  p.translate(0, 22);
  p.scale(0.94, 0.96);
  p.translate(0, -22);
  p.setBrush(Qt::NoBrush);
  p.setPen(line(QColor(245, 230, 200, 200), 1.0));
  p.drawPath(outline);
  p.restore();

  // Pick guard, rosette, sound hole, bridge.
  QPainterPath guard(QPointF(6, 4));
  guard.cubicTo(QPointF(18, 2), QPointF(22, 18), QPointF(14, 26));
  guard.cubicTo(QPointF(8, 30), QPointF(4, 22), QPointF(6, 4));
  fillOutlined(p, guard, QColor(25, 12, 10, 200), QColor(0, 0, 0, 0), 0);
  p.setBrush(Qt::NoBrush);
  p.setPen(line(QColor(240, 215, 150), 1.8));
  p.drawEllipse(QPointF(0, 10), 10.5, 10.5);
  p.setPen(line(kDarkLine, ink * 0.6));
  p.setBrush(QColor(18, 10, 6));
  p.drawEllipse(QPointF(0, 10), 8, 8);
  p.setBrush(QColor(60, 30, 16));
  p.drawRoundedRect(QRectF(-11, 43, 22, 6), 2.5, 2.5);
  p.setPen(line(QColor(245, 240, 225), 1.0));
  p.drawLine(QPointF(-5, 45), QPointF(5, 45));
  drawStrings(p, 6, 45, 8, -111, 6.5, ink);
  p.restore();
}

void drawSolidBodyGuitar(QPainter& p, const QColor& body, bool bass, double ink) {
  p.save();
  const double nutY = bass ? -150 : -100;
  const double saddleY = 58;

  QPolygonF neck;
  neck << QPointF(-4.5, nutY) << QPointF(4.5, nutY) << QPointF(5.5, 4) << QPointF(-5.5, 4);
  p.setPen(line(kDarkLine, ink));
  p.setBrush(QColor(225, 180, 110));
  p.drawPolygon(neck);
  QPolygonF board;
  board << QPointF(-4, nutY) << QPointF(4, nutY) << QPointF(4.9, 4) << QPointF(-4.9, 4);
  p.setPen(Qt::NoPen);
  p.setBrush(bass ? QColor(70, 40, 24) : QColor(225, 180, 110));
  p.drawPolygon(board);
  drawFrets(p, nutY, saddleY, 0, 4.6, ink);
  p.setPen(Qt::NoPen);
  p.setBrush(bass ? QColor(235, 230, 215) : QColor(30, 20, 15));
  for (int f : {3, 5, 7, 9, 12, 15}) {
    const double y0 = nutY + (saddleY - nutY) * (1 - std::pow(2.0, -(f - 1) / 12.0));
    const double y1 = nutY + (saddleY - nutY) * (1 - std::pow(2.0, -f / 12.0));
    if (y1 > 0) break;
    p.drawEllipse(QPointF(0, (y0 + y1) / 2), 1.1, 1.1);
  }

  // Head with all tuners on the bass side.
  const int tuners = bass ? 4 : 6;
  const double headLen = 30;
  QPainterPath head(QPointF(-4.5, nutY));
  head.cubicTo(QPointF(-6, nutY - 6), QPointF(-13, nutY - 8), QPointF(-13, nutY - 16));
  head.cubicTo(QPointF(-13, nutY - 24), QPointF(-9, nutY - headLen), QPointF(-3, nutY - headLen));
  head.cubicTo(QPointF(3, nutY - headLen), QPointF(7, nutY - headLen + 2),
               QPointF(6, nutY - headLen + 8));
  head.lineTo(4.5, nutY);
  head.closeSubpath();
  fillOutlined(p, head, QColor(225, 180, 110), kDarkLine, ink);
  for (int i = 0; i < tuners; ++i) {
    const double y = nutY - 4 - i * (headLen - 6) / (tuners - 1);
    const double r = bass ? 2.6 : 1.8;
    p.setPen(line(kDarkLine, ink * 0.5));
    p.setBrush(kChrome);
    p.drawEllipse(QPointF(-6.5, y), r * 0.7, r * 0.7);
    p.drawRoundedRect(QRectF(-17 - r, y - r * 0.7, r * 2.2, r * 1.4), 1, 1);
    p.drawLine(QPointF(-10, y), QPointF(-14.5, y));
  }

  const QPainterPath outline = solidBodyOutline();
  QRadialGradient paint(QPointF(2, 34), 42, QPointF(-4, 26));
  if (bass) {  // sunburst
    paint.setColorAt(0, QColor(250, 200, 70));
    paint.setColorAt(0.45, QColor(225, 120, 30));
    paint.setColorAt(0.8, QColor(120, 40, 15));
    paint.setColorAt(1, QColor(40, 12, 6));
  } else {
    paint.setColorAt(0, body.lighter(140));
    paint.setColorAt(0.6, body);
    paint.setColorAt(1, body.darker(180));
  }
  fillOutlined(p, outline, paint, kDarkLine, ink);

  QPainterPath guard(QPointF(-7, 0));
  guard.cubicTo(QPointF(-16, 0), QPointF(-22, 10), QPointF(-20, 26));
  guard.cubicTo(QPointF(-18, 40), QPointF(-4, 46), QPointF(10, 40));
  guard.cubicTo(QPointF(22, 34), QPointF(20, 16), QPointF(14, 8));
  guard.cubicTo(QPointF(10, 2), QPointF(8, 0), QPointF(7, 0));
  guard.closeSubpath();
  fillOutlined(p, guard, bass ? QColor(70, 30, 20) : QColor(245, 242, 232), QColor(0, 0, 0, 120),
               0.6);

  p.setPen(line(QColor(10, 10, 10), ink * 0.4));
  p.setBrush(QColor(30, 30, 30));
  if (bass) {
    p.drawRoundedRect(QRectF(-9, 22, 9, 5), 2, 2);
    p.drawRoundedRect(QRectF(0, 28, 9, 5), 2, 2);
  } else {
    for (double y : {18.0, 28.0, 40.0}) p.drawRoundedRect(QRectF(-7, y, 14, 4), 2, 2);
  }
  p.setBrush(metalAcross(QPointF(0, 54), QPointF(0, 62), kChrome));
  p.drawRoundedRect(QRectF(-9, 54, 18, 8), 1.5, 1.5);
  p.setBrush(kChrome);
  p.drawEllipse(QPointF(16, 50), 3, 3);
  p.drawEllipse(QPointF(20, 60), 3, 3);
  p.setPen(line(QColor(240, 235, 220), 1.2));
  p.drawLine(QPointF(-4.3, nutY), QPointF(4.3, nutY));
  drawStrings(p, bass ? 4 : 6, 57, bass ? 9 : 8, nutY, 6.5, ink);
  p.restore();
}

void drawViolin(QPainter& p, double ink) {
  p.save();
  const QPainterPath outline = violinBodyOutline();
  QRadialGradient varnish(QPointF(-3, 2), 44, QPointF(-6, -6));
  varnish.setColorAt(0, QColor(240, 160, 60));
  varnish.setColorAt(0.5, QColor(205, 105, 30));
  varnish.setColorAt(1, QColor(110, 40, 12));
  fillOutlined(p, outline, varnish, kDarkLine, ink);
  p.save();
  p.scale(0.92, 0.95);
  p.setBrush(Qt::NoBrush);
  p.setPen(line(QColor(60, 25, 10, 170), 0.7));
  p.drawPath(outline);
  p.restore();

  // f-holes.
  for (int side : {-1, 1}) {
    QPainterPath f(QPointF(side * 8.5, -9));
    f.cubicTo(QPointF(side * 12, -4), QPointF(side * 6, 8), QPointF(side * 10, 14));
    p.setBrush(Qt::NoBrush);
    p.setPen(line(QColor(25, 10, 5), 1.3));
    p.drawPath(f);
    p.setBrush(QColor(25, 10, 5));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(side * 8.5, -9), 1.2, 1.2);
    p.drawEllipse(QPointF(side * 10, 14), 1.2, 1.2);
  }

  // Neck, pegbox with pegs, scroll.
  p.setPen(line(kDarkLine, ink));
  p.setBrush(QColor(160, 80, 28));
  p.drawRoundedRect(QRectF(-4, -90, 8, 52), 2, 2);
  p.setBrush(QColor(120, 55, 20));
  p.drawRoundedRect(QRectF(-3.8, -100, 7.6, 14), 2, 2);
  p.setBrush(QColor(25, 18, 14));
  for (int i = 0; i < 2; ++i) {
    const double y = -89.5 - i * 6;
    p.drawRoundedRect(QRectF(-10, y - 1.2, 6.5, 2.4), 1, 1);
    p.drawRoundedRect(QRectF(3.5, y - 4.2, 6.5, 2.4), 1, 1);
  }
  QRadialGradient scrollShade(QPointF(-1, -106), 6);
  scrollShade.setColorAt(0, QColor(220, 130, 50));
  scrollShade.setColorAt(1, QColor(120, 55, 20));
  p.setBrush(scrollShade);
  p.drawEllipse(QPointF(0, -105), 5.5, 6);
  p.setBrush(Qt::NoBrush);
  p.setPen(line(QColor(60, 25, 10), 0.9));
  QPainterPath curl(QPointF(0, -105));
  curl.arcTo(QRectF(-2, -107, 4, 4), 180, 300);
  curl.arcTo(QRectF(-4, -109, 8, 8), 120, 300);
  p.drawPath(curl);

  // Fingerboard over the top, tailpiece, bridge, chin rest, strings.
  QPolygonF board;
  board << QPointF(-3.2, -86) << QPointF(3.2, -86) << QPointF(5, -8) << QPointF(-5, -8);
  p.setPen(line(QColor(0, 0, 0), ink * 0.5));
  p.setBrush(QColor(22, 18, 16));
  p.drawPolygon(board);
  QPainterPath tail(QPointF(-4.5, 20));
  tail.lineTo(4.5, 20);
  tail.quadTo(5, 36, 1.5, 42);
  tail.lineTo(-1.5, 42);
  tail.quadTo(-5, 36, -4.5, 20);
  fillOutlined(p, tail, QColor(22, 18, 16), QColor(0, 0, 0), ink * 0.5);
  QPainterPath chin(QPointF(-16, 36));
  chin.quadTo(QPointF(-10, 46), QPointF(-2, 44));
  chin.quadTo(QPointF(-8, 38), QPointF(-16, 36));
  fillOutlined(p, chin, QColor(22, 18, 16), QColor(0, 0, 0), ink * 0.4);
  p.setPen(line(QColor(240, 220, 170), 1.8));
  p.drawLine(QPointF(-7, 6), QPointF(7, 6));
  drawStrings(p, 4, 21, 6, -86, 4.5, ink);
  p.restore();
}

void drawBow(QPainter& p, double ink) {
  p.save();
  p.setPen(line(QColor(245, 240, 225), 1.6));
  p.drawLine(QPointF(10, 4.5), QPointF(146, 2.5));
  p.setPen(line(QColor(60, 25, 10), 1.8 + ink * 0.3));
  QPainterPath stick(QPointF(0, 0));
  stick.quadTo(QPointF(80, -2), QPointF(148, 0));
  p.drawPath(stick);
  p.setPen(line(kDarkLine, ink * 0.4));
  p.setBrush(QColor(20, 15, 12));
  p.drawRoundedRect(QRectF(4, -1, 10, 6.5), 1.5, 1.5);
  p.setBrush(QColor(240, 240, 240));
  p.drawEllipse(QPointF(9, 2.2), 1.2, 1.2);
  p.setBrush(QColor(235, 230, 215));
  QPolygonF tip;
  tip << QPointF(146, -1) << QPointF(151, 0) << QPointF(147, 4.5);
  p.drawPolygon(tip);
  p.restore();
}

void drawTrumpet(QPainter& p, double ink) {
  p.save();
  const double w = 4.6;
  // The oblong loop under the valves, then the straight pipes over it.
  QPainterPath loop(QPointF(50, 12));
  loop.lineTo(22, 12);
  loop.cubicTo(QPointF(12, 12), QPointF(12, 26), QPointF(22, 26));
  loop.lineTo(92, 26);
  loop.cubicTo(QPointF(102, 26), QPointF(102, 12), QPointF(92, 12));
  loop.lineTo(76, 12);
  drawTube(p, loop, w, kBrass.darker(110));
  QPainterPath slide(QPointF(64, 18));
  slide.lineTo(64, 30);
  slide.quadTo(64, 34, 60, 34);
  slide.lineTo(44, 34);
  drawTube(p, slide, w * 0.8, kBrass.darker(115));

  QPainterPath lead(QPointF(6, 0));
  lead.lineTo(80, 0);
  drawTube(p, lead, w * 0.9, kBrass);

  // Bell: an exponential flare.
  QPainterPath bellLine(QPointF(76, 0));
  bellLine.lineTo(135, 0);
  const QPainterPath bell = tubeOutline(
      bellLine, [w](double t) { return w + 36 * (std::exp(5.0 * t) - 1) / (std::exp(5.0) - 1); });
  QLinearGradient bellShade(0, -20, 0, 20);
  bellShade.setColorAt(0, kBrass.lighter(150));
  bellShade.setColorAt(0.35, kBrass);
  bellShade.setColorAt(1, kBrass.darker(170));
  fillOutlined(p, bell, bellShade, kBrass.darker(260), ink * 0.8);
  p.setPen(line(kBrass.darker(260), ink * 0.8));
  QRadialGradient mouth(QPointF(135, 0), 20);
  mouth.setColorAt(0, QColor(120, 80, 15));
  mouth.setColorAt(1, kBrass.darker(140));
  p.setBrush(mouth);
  p.drawEllipse(QPointF(135, 0), 3.5, 20);

  // Mouthpiece.
  QPainterPath mp(QPointF(-2, -4));
  mp.lineTo(1, -1.6);
  mp.lineTo(9, -1.8);
  mp.lineTo(9, 1.8);
  mp.lineTo(1, 1.6);
  mp.lineTo(-2, 4);
  mp.closeSubpath();
  fillOutlined(p, mp, metalAcross(QPointF(0, -4), QPointF(0, 4), kChrome), QColor(60, 60, 70),
               ink * 0.6);

  // Three valves with finger buttons.
  for (int i = 0; i < 3; ++i) {
    const double x = 50 + i * 9.5;
    const QRectF casing(x - 3.8, -7, 7.6, 25);
    p.setPen(line(kBrass.darker(260), ink * 0.7));
    p.setBrush(metalAcross(casing.topLeft(), casing.topRight(), kBrass));
    p.drawRect(casing);
    p.setBrush(metalAcross(QPointF(x - 4.5, 0), QPointF(x + 4.5, 0), kBrass.darker(110)));
    p.drawRect(QRectF(x - 4.5, -9, 9, 3));
    p.drawRect(QRectF(x - 4.5, 17, 9, 3));
    p.setBrush(kBrass);
    p.drawRect(QRectF(x - 1, -15, 2, 6));
    p.setBrush(QColor(245, 240, 225));
    p.drawEllipse(QPointF(x, -16), 4.5, 2);
  }
  p.restore();
}

void drawSaxophone(QPainter& p, double ink) {
  p.save();
  QPainterPath centre(QPointF(-22, -76));
  centre.cubicTo(QPointF(-14, -86), QPointF(0, -82), QPointF(0, -64));
  centre.lineTo(2, 26);
  centre.cubicTo(QPointF(3, 56), QPointF(32, 56), QPointF(34, 30));
  centre.lineTo(36, -8);
  const double mouthEnd = 0.05;
  auto width = [&](double t) {
    if (t < mouthEnd) return 4.0;
    if (t < 0.17) return 4.5 + (t - mouthEnd) * 14;
    if (t < 0.72) return 6.2 + (t - 0.17) * 22;
    const double u = (t - 0.72) / 0.28;
    return 18.3 + u * 4 + 14 * (std::exp(4.0 * u) - 1) / (std::exp(4.0) - 1);
  };
  const QPainterPath body = tubeOutline(centre, width, 160);
  QLinearGradient shade(-10, 0, 40, 0);
  shade.setColorAt(0, kBrass.lighter(145));
  shade.setColorAt(0.3, kBrass);
  shade.setColorAt(0.55, kBrass.lighter(125));
  shade.setColorAt(1, kBrass.darker(180));
  fillOutlined(p, body, shade, kBrass.darker(280), ink);

  // Bell rim across the end of the tube.
  const QPointF mouth = centre.pointAtPercent(1.0);
  p.setPen(line(kBrass.darker(280), ink));
  QRadialGradient inside(mouth, 18);
  inside.setColorAt(0, QColor(110, 70, 10));
  inside.setColorAt(1, kBrass.darker(130));
  p.setBrush(inside);
  p.save();
  p.translate(mouth);
  p.rotate(-4);
  p.drawEllipse(QPointF(0, 0), width(1.0) / 2 + 0.5, 4.5);
  p.restore();

  // Mouthpiece and ligature.
  QPainterPath mp(QPointF(-30, -72));
  mp.lineTo(-23, -80);
  mp.lineTo(-19, -76);
  mp.lineTo(-26, -69);
  mp.closeSubpath();
  fillOutlined(p, mp, QColor(25, 25, 25), QColor(0, 0, 0), ink * 0.6);
  p.setPen(line(kChrome, 2.2));
  p.drawLine(QPointF(-24.5, -79), QPointF(-20.5, -75));

  // Keys: pearl buttons down the front, a guard near the bend.
  p.setPen(line(kBrass.darker(250), ink * 0.5));
  for (int i = 0; i < 6; ++i) {
    const double y = -46 + i * 10.5;
    p.setBrush(kBrass.darker(115));
    p.drawEllipse(QPointF(-4.5 - i * 0.3, y), 3.6, 3.6);
    p.setBrush(QColor(250, 245, 235));
    p.drawEllipse(QPointF(-4.5 - i * 0.3, y), 2.2, 2.2);
  }
  p.setBrush(kBrass.darker(120));
  for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(12 + i * 0.8, 6 + i * 9), 3.2, 2.4);
  p.setPen(line(kBrass.darker(170), 1.2));
  p.drawLine(QPointF(6, -40), QPointF(8, 18));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(6, 34, 14, 10), 180 * 16, 180 * 16);
  p.restore();
}

void drawConga(QPainter& p, double ink) {
  p.save();
  QPainterPath shell(QPointF(-15, -80));
  shell.cubicTo(QPointF(-22, -58), QPointF(-21, -30), QPointF(-12, 0));
  shell.lineTo(12, 0);
  shell.cubicTo(QPointF(21, -30), QPointF(22, -58), QPointF(15, -80));
  shell.closeSubpath();
  QLinearGradient wood(-20, 0, 20, 0);
  wood.setColorAt(0, QColor(90, 40, 15));
  wood.setColorAt(0.3, QColor(205, 120, 55));
  wood.setColorAt(0.6, QColor(170, 85, 35));
  wood.setColorAt(1, QColor(70, 28, 10));
  fillOutlined(p, shell, wood, kDarkLine, ink);
  p.setPen(line(QColor(60, 25, 8, 150), 0.8));
  for (double f : {-0.55, 0.0, 0.55}) {
    QPainterPath stave(QPointF(15 * f, -80));
    stave.cubicTo(QPointF(21 * f, -58), QPointF(20 * f, -30), QPointF(12 * f, 0));
    p.drawPath(stave);
  }
  p.setBrush(QColor(180, 120, 40));
  p.setPen(line(kDarkLine, ink * 0.6));
  p.drawRect(QRectF(-19.5, -52, 39, 3));
  // Tuning lugs down from the rim.
  p.setPen(line(kChrome.darker(130), 1.5));
  for (double x : {-10.0, -3.5, 3.5, 10.0})
    p.drawLine(QPointF(x * 1.25, -79), QPointF(x * 1.55, -60));
  p.setPen(line(QColor(40, 40, 45), ink * 0.6));
  p.setBrush(metalAcross(QPointF(-17, 0), QPointF(17, 0), kChrome));
  p.drawEllipse(QPointF(0, -80), 17, 5);
  p.setBrush(QColor(238, 222, 185));
  p.drawEllipse(QPointF(0, -80.5), 14.5, 3.8);
  p.restore();
}

void drawBambooFlute(QPainter& p, double length, double bore, double ink) {
  p.save();
  const double r = bore / 2;
  QLinearGradient cane(0, -r, 0, r);
  cane.setColorAt(0, QColor(150, 120, 50));
  cane.setColorAt(0.25, QColor(245, 225, 150));
  cane.setColorAt(0.5, QColor(225, 195, 110));
  cane.setColorAt(1, QColor(120, 90, 35));
  p.setPen(line(kDarkLine, ink));
  p.setBrush(cane);
  p.drawRoundedRect(QRectF(0, -r, length, bore), r * 0.5, r * 0.5);
  // Nodes and thread bindings.
  for (double f : {0.08, 0.42, 0.93}) {
    p.setPen(line(QColor(110, 80, 30), 1.2));
    p.drawLine(QPointF(length * f, -r + 0.6), QPointF(length * f, r - 0.6));
  }
  for (double f : {0.02, 0.26, 0.97}) {
    QLinearGradient thread(0, -r, 0, r);
    thread.setColorAt(0, QColor(60, 10, 10));
    thread.setColorAt(0.3, QColor(150, 30, 25));
    thread.setColorAt(1, QColor(50, 8, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(thread);
    p.drawRect(QRectF(length * f - bore * 0.35, -r, bore * 0.7, bore));
  }
  // Blow hole, membrane hole and six finger holes.
  p.setPen(line(QColor(60, 40, 15), ink * 0.4));
  p.setBrush(QColor(25, 15, 8));
  const double hole = bore * 0.22;
  p.drawEllipse(QPointF(length * 0.16, 0), hole * 1.25, hole);
  p.setBrush(QColor(240, 235, 215));
  p.drawEllipse(QPointF(length * 0.33, 0), hole, hole * 0.9);
  p.setBrush(QColor(25, 15, 8));
  for (int i = 0; i < 6; ++i)
    p.drawEllipse(QPointF(length * (0.5 + i * 0.072), 0), hole, hole * 0.9);
  p.restore();
}

void drawTassel(QPainter& p, QPointF anchor, double drop) {
  p.save();
  QPainterPath cord(anchor);
  cord.cubicTo(anchor + QPointF(4, drop * 0.3), anchor + QPointF(2, drop * 0.6),
               anchor + QPointF(3, drop));
  p.setBrush(Qt::NoBrush);
  p.setPen(line(QColor(200, 20, 25), 1.6));
  p.drawPath(cord);
  const QPointF knot = anchor + QPointF(3, drop);
  p.setPen(line(QColor(120, 10, 10), 0.6));
  p.setBrush(QColor(220, 30, 35));
  p.drawEllipse(knot, 3, 3);
  for (int i = -3; i <= 3; ++i) {
    p.setPen(line(QColor(i % 2 ? 225 : 185, 25, 30), 1.4));
    p.drawLine(knot + QPointF(i * 0.5, 2), knot + QPointF(i * 1.3, 20 - std::abs(i)));
  }
  p.setPen(line(QColor(240, 200, 60), 2.0));
  p.drawLine(knot + QPointF(-2.6, 4.5), knot + QPointF(2.6, 4.5));
  p.restore();
}

}  // namespace tonvale::pictures
