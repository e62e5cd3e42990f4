// The instrument picture strip: fifteen 171 x 141 pictures on the window's green.
#include <QFont>
#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <functional>
#include <numbers>

#include "figures.h"
#include "paint_kit.h"
#include "pictures.h"

namespace tonvale::pictures {

namespace {

constexpr double kPi = std::numbers::pi;
const QColor kInk(30, 18, 10);

// Soft shadow on the "floor" under an object standing on the green.
void floorShadow(QPainter& p, QPointF centre, double rx, double ry) {
  QRadialGradient g(centre, rx);
  g.setColorAt(0, QColor(0, 30, 0, 110));
  g.setColorAt(1, QColor(0, 30, 0, 0));
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.translate(centre);
  p.scale(1, ry / rx);
  p.translate(-centre);
  p.drawEllipse(centre, rx, rx);
  p.restore();
}

// ---- 0: grand piano ---------------------------------------------------------------------

// A simple oblique view: x runs from the keyboard to the tail, y from the bass side (far) to
// the treble side (near), z up.
struct PianoView {
  QPointF origin;
  double s;
  QPointF at(double x, double y, double z) const {
    return origin + QPointF(x * 0.78 + y * 0.62, -x * 0.28 + y * 0.42 - z) * s;
  }
};

void drawGrandPiano(QPainter& p) {
  const PianoView v{{42, 77}, 1.0};
  const double height = 13;  // case depth
  const double width = 58;
  const double lidAngle = 56 * kPi / 180;

  QPainterPath plan(QPointF(0, 0));
  plan.lineTo(82, 0);
  plan.cubicTo(QPointF(96, 0), QPointF(101, 14), QPointF(92, 23));
  plan.cubicTo(QPointF(82, 31), QPointF(64, 32), QPointF(50, 42));
  plan.cubicTo(QPointF(40, 50), QPointF(34, 58), QPointF(20, 58));
  plan.lineTo(0, 58);
  plan.closeSubpath();
  const QPolygonF outline = plan.toFillPolygon();
  auto projected = [&](const QPolygonF& poly, auto map) {
    QPolygonF out;
    for (const QPointF& q : poly) out << map(q);
    return out;
  };

  floorShadow(p, v.at(45, 30, -32), 66, 12);

  // Legs, lyre.
  auto leg = [&](double x, double y) {
    const QPointF top = v.at(x, y, 0);
    const QPointF bottom = v.at(x, y, -30);
    QPolygonF l;
    l << top + QPointF(-3.2, 0) << top + QPointF(3.2, 0) << bottom + QPointF(1.8, 0)
      << bottom + QPointF(-1.8, 0);
    p.setPen(line(QColor(70, 70, 70), 0.8));
    p.setBrush(QColor(15, 15, 15));
    p.drawPolygon(l);
    p.setBrush(QColor(200, 170, 60));
    p.drawEllipse(bottom + QPointF(0, 1), 2.4, 1.6);
  };
  leg(84, 12);
  leg(4, 5);
  leg(4, 54);
  {
    const QPointF top = v.at(6, 30, 0);
    const QPointF bottom = v.at(6, 30, -26);
    p.setPen(line(QColor(25, 25, 25), 2.2));
    p.drawLine(top + QPointF(-3, 0), bottom + QPointF(-2, 0));
    p.drawLine(top + QPointF(3, 0), bottom + QPointF(2, 0));
    p.setPen(line(QColor(60, 60, 60), 0.8));
    p.setBrush(QColor(15, 15, 15));
    p.drawRect(QRectF(bottom + QPointF(-6, -1), QSizeF(12, 4)));
    p.setBrush(QColor(215, 180, 70));
    for (int i = -1; i <= 1; ++i)
      p.drawRect(QRectF(bottom + QPointF(i * 3.6 - 1.2, 2.4), QSizeF(2.4, 2)));
  }

  // Lid, raised on the far side and seen from below.
  const QPolygonF lid = projected(outline, [&](QPointF q) {
    return v.at(q.x(), q.y() * std::cos(lidAngle), height + q.y() * std::sin(lidAngle));
  });
  QLinearGradient lidShade(v.at(0, 0, height + 40), v.at(90, 20, height));
  lidShade.setColorAt(0, QColor(70, 70, 78));
  lidShade.setColorAt(0.4, QColor(20, 20, 24));
  lidShade.setColorAt(1, QColor(45, 45, 52));
  p.setPen(line(QColor(110, 110, 120), 0.9));
  p.setBrush(lidShade);
  p.drawPolygon(lid);

  // Case sides: every edge of the rim drawn down to the bottom.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(14, 14, 16));
  for (int i = 0; i + 1 < outline.size(); ++i) {
    QPolygonF side;
    side << v.at(outline[i].x(), outline[i].y(), height)
         << v.at(outline[i + 1].x(), outline[i + 1].y(), height)
         << v.at(outline[i + 1].x(), outline[i + 1].y(), 0)
         << v.at(outline[i].x(), outline[i].y(), 0);
    p.drawPolygon(side);
  }
  // A shine along the near, curved side.
  QPainterPath shine;
  for (int i = 0; i < outline.size(); ++i) {
    const QPointF q = v.at(outline[i].x(), outline[i].y(), height * 0.45);
    if (outline[i].y() > 20 && outline[i].x() > 2) {
      if (shine.elementCount() == 0)
        shine.moveTo(q);
      else
        shine.lineTo(q);
    }
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(line(QColor(120, 120, 135), 1.2));
  p.drawPath(shine);

  // Inside: the gold iron frame and the strings.
  const QPolygonF rim = projected(outline, [&](QPointF q) { return v.at(q.x(), q.y(), height); });
  QLinearGradient gold(v.at(0, 0, height), v.at(90, 40, height));
  gold.setColorAt(0, QColor(240, 205, 110));
  gold.setColorAt(1, QColor(170, 120, 40));
  p.setPen(line(QColor(10, 10, 10), 2.2));
  p.setBrush(gold);
  p.drawPolygon(rim);
  p.save();
  QPainterPath clip;
  clip.addPolygon(rim);
  p.setClipPath(clip);
  p.setPen(line(QColor(90, 70, 40, 160), 0.55));
  for (int s = 0; s < 12; ++s) {
    const double y = 6 + s * 4.2;
    p.drawLine(v.at(6, y, height), v.at(100, y * 0.55, height));
  }
  p.restore();
  // Lid prop.
  p.setPen(line(QColor(10, 10, 10), 2.0));
  p.drawLine(v.at(55, 37, height),
             v.at(55, 35 * std::cos(lidAngle), height + 35 * std::sin(lidAngle)));

  // Key bed sticking out at the front, keys on it, then the front rail.
  const double kz = height * 0.72;
  QPolygonF bed;
  bed << v.at(0, 0, kz) << v.at(-17, 0, kz) << v.at(-17, width, kz) << v.at(0, width, kz);
  p.setPen(line(QColor(60, 60, 60), 0.8));
  p.setBrush(QColor(20, 20, 20));
  p.drawPolygon(bed);
  const int whites = 18;
  const double kw = (width - 6) / whites;
  for (int k = 0; k < whites; ++k) {
    QPolygonF key;
    const double y0 = 3 + k * kw;
    key << v.at(-1, y0, kz) << v.at(-16, y0, kz) << v.at(-16, y0 + kw, kz) << v.at(-1, y0 + kw, kz);
    p.setPen(line(QColor(120, 120, 120), 0.35));
    p.setBrush(QColor(250, 250, 245));
    p.drawPolygon(key);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(10, 10, 10));
  for (int k = 0; k + 1 < whites; ++k) {
    const int d = k % 7;
    if (d == 2 || d == 6) continue;
    QPolygonF key;
    const double y0 = 3 + (k + 1) * kw - kw * 0.3;
    key << v.at(-1, y0, kz + 1) << v.at(-9, y0, kz + 1) << v.at(-9, y0 + kw * 0.6, kz + 1)
        << v.at(-1, y0 + kw * 0.6, kz + 1);
    p.drawPolygon(key);
  }
  QPolygonF rail;
  rail << v.at(-17, 0, kz) << v.at(-17, width, kz) << v.at(-17, width, kz - 4)
       << v.at(-17, 0, kz - 4);
  p.setPen(line(QColor(70, 70, 70), 0.6));
  p.setBrush(QColor(25, 25, 25));
  p.drawPolygon(rail);
  // Cheek blocks.
  for (double y : {0.0, width - 3}) {
    QPolygonF cheek;
    cheek << v.at(0, y, kz + 2) << v.at(-18, y, kz + 2) << v.at(-18, y + 3, kz + 2)
          << v.at(0, y + 3, kz + 2);
    p.setBrush(QColor(30, 30, 30));
    p.drawPolygon(cheek);
  }
}

// ---- 1: hammered dulcimer -----------------------------------------------------------------

void drawDulcimer(QPainter& p) {
  const QColor wood(150, 70, 30);
  floorShadow(p, QPointF(86, 134), 64, 6);

  // Carved stand: cabriole legs, a scalloped apron and a stretcher.
  auto legPath = [](double x, double dir) {
    QPainterPath l(QPointF(x, 86));
    l.cubicTo(QPointF(x + dir * 9, 96), QPointF(x + dir * 9, 108), QPointF(x - dir * 1, 118));
    l.cubicTo(QPointF(x - dir * 5, 124), QPointF(x - dir * 2, 132), QPointF(x + dir * 5, 133));
    return l;
  };
  for (auto [x, dir, shade] : {std::tuple{48.0, 1.0, 140}, std::tuple{124.0, -1.0, 140},
                               std::tuple{28.0, -1.0, 100}, std::tuple{144.0, 1.0, 100}}) {
    const QPainterPath l = legPath(x, dir);
    p.setBrush(Qt::NoBrush);
    p.setPen(line(kInk, 7.5));
    p.drawPath(l);
    p.setPen(line(wood.darker(shade), 5.5));
    p.drawPath(l);
    p.setPen(line(wood.lighter(135), 1.2));
    p.drawPath(l.translated(-1.2, -0.5));
  }
  p.setPen(line(kInk, 1));
  p.setBrush(wood.darker(130));
  p.drawRoundedRect(QRectF(34, 112, 104, 5), 2, 2);
  for (double x : {34.0, 138.0}) {
    p.setBrush(wood.darker(110));
    p.drawEllipse(QPointF(x, 114.5), 4, 4);
  }
  QPainterPath apron(QPointF(22, 84));
  apron.lineTo(150, 84);
  apron.lineTo(150, 92);
  for (int i = 0; i < 8; ++i) {
    const double x0 = 150 - i * 16;
    apron.quadTo(QPointF(x0 - 8, 101 - (i == 3 || i == 4 ? 4 : 0)), QPointF(x0 - 16, 92));
  }
  apron.closeSubpath();
  fillOutlined(p, apron, wood.darker(120), kInk, 1.0);
  p.setPen(line(QColor(240, 190, 90), 1.0));
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 8; ++i) p.drawEllipse(QPointF(30 + i * 16, 90), 2, 2);

  // Box: front face, then the trapezoid sound board seen from above.
  QPolygonF front;
  front << QPointF(16, 72) << QPointF(156, 72) << QPointF(156, 84) << QPointF(16, 84);
  QLinearGradient frontShade(0, 72, 0, 84);
  frontShade.setColorAt(0, wood.lighter(120));
  frontShade.setColorAt(1, wood.darker(150));
  p.setPen(line(kInk, 1.2));
  p.setBrush(frontShade);
  p.drawPolygon(front);
  QPolygonF top;
  top << QPointF(50, 26) << QPointF(122, 26) << QPointF(156, 72) << QPointF(16, 72);
  p.setBrush(wood);
  p.drawPolygon(top);
  QPolygonF board;
  board << QPointF(56, 30) << QPointF(116, 30) << QPointF(146, 69) << QPointF(26, 69);
  QLinearGradient spruce(0, 30, 0, 69);
  spruce.setColorAt(0, QColor(225, 180, 110));
  spruce.setColorAt(1, QColor(245, 210, 140));
  p.setPen(line(wood.darker(160), 0.8));
  p.setBrush(spruce);
  p.drawPolygon(board);

  // Rosettes.
  for (auto [c, r] : {std::pair{QPointF(70, 50), 7.0}, std::pair{QPointF(104, 55), 8.5}}) {
    p.setPen(line(wood.darker(180), 1.0));
    p.setBrush(QColor(70, 35, 15));
    p.drawEllipse(c, r, r * 0.62);
    p.setPen(line(QColor(250, 225, 170), 0.7));
    for (int k = 0; k < 8; ++k) {
      const double a = k * kPi / 4;
      p.drawLine(c, c + QPointF(std::cos(a) * r * 0.9, std::sin(a) * r * 0.55));
    }
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.5, r * 0.3);
  }

  // Strings in courses, tuning pins along the slanted sides, two bridges.
  const int courses = 13;
  for (int i = 0; i < courses; ++i) {
    const double t = (i + 0.5) / courses;
    const double y = 30 + t * 39;
    const double xl = 56 + (26 - 56) * t;
    const double xr = 116 + (146 - 116) * t;
    p.setPen(line(QColor(235, 235, 240), 0.55));
    p.drawLine(QPointF(xl - 4, y - 0.5), QPointF(xr + 4, y - 0.5));
    p.drawLine(QPointF(xl - 4, y + 0.6), QPointF(xr + 4, y + 0.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 230, 235));
    p.drawEllipse(QPointF(xl - 4.5, y), 1.1, 1.1);
    p.drawEllipse(QPointF(xr + 4.5, y), 1.1, 1.1);
  }
  for (auto [x0, x1] : {std::pair{60.0, 44.0}, std::pair{102.0, 122.0}}) {
    p.setPen(line(QColor(60, 30, 10), 3.2));
    p.drawLine(QPointF(x0, 31), QPointF(x1, 68));
    p.setPen(line(QColor(250, 240, 215), 1.8));
    p.drawLine(QPointF(x0, 31), QPointF(x1, 68));
  }

  // Two hammers resting across the front of the board.
  for (auto [a, b] : {std::pair{QPointF(84, 72), QPointF(126, 60)},
                      std::pair{QPointF(92, 74), QPointF(136, 66)}}) {
    p.setPen(line(kInk, 2.4));
    p.drawLine(a, b);
    p.setPen(line(QColor(215, 165, 95), 1.4));
    p.drawLine(a, b);
    p.setPen(line(kInk, 0.8));
    p.setBrush(QColor(120, 55, 25));
    p.drawEllipse(b, 3.2, 2.4);
  }
}

// ---- 2: upright reed organ ------------------------------------------------------------------

void drawReedOrgan(QPainter& p) {
  const QColor walnut(110, 55, 25);
  floorShadow(p, QPointF(86, 136), 62, 5);
  auto box = [&](QRectF r, QColor c, double ink = 1.0) {
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, c.lighter(115));
    g.setColorAt(0.5, c);
    g.setColorAt(1, c.darker(140));
    p.setPen(line(kInk, ink));
    p.setBrush(g);
    p.drawRect(r);
  };

  // Crest and finials.
  QPainterPath crest(QPointF(56, 18));
  crest.cubicTo(QPointF(60, 8), QPointF(74, 10), QPointF(78, 6));
  crest.quadTo(QPointF(86, -1), QPointF(94, 6));
  crest.cubicTo(QPointF(98, 10), QPointF(112, 8), QPointF(116, 18));
  crest.closeSubpath();
  fillOutlined(p, crest, walnut.lighter(110), kInk, 1.0);
  p.setPen(line(QColor(235, 190, 90), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(86, 11), 3, 3);
  for (double x : {38.0, 134.0}) {
    p.setPen(line(kInk, 0.8));
    p.setBrush(walnut.lighter(120));
    p.drawRect(QRectF(x - 2.5, 9, 5, 9));
    p.setBrush(QColor(230, 185, 80));
    p.drawEllipse(QPointF(x, 7), 3, 3);
  }

  // Upper case with gilt display pipes between two candle shelves.
  box(QRectF(36, 17, 100, 5), walnut.lighter(115));
  box(QRectF(40, 22, 92, 50), walnut);
  QRectF panel(58, 26, 56, 42);
  p.setPen(line(kInk, 0.8));
  p.setBrush(QColor(55, 22, 12));
  p.drawRect(panel);
  const int pipes = 9;
  for (int i = 0; i < pipes; ++i) {
    const double x = panel.left() + 4 + i * (panel.width() - 8) / (pipes - 1);
    const double h = 22 + 14 * std::cos((i - (pipes - 1) / 2.0) / (pipes - 1) * kPi);
    const QRectF pipe(x - 2.4, panel.bottom() - 3 - h, 4.8, h);
    QLinearGradient g(pipe.topLeft(), pipe.topRight());
    g.setColorAt(0, QColor(170, 120, 30));
    g.setColorAt(0.35, QColor(255, 225, 130));
    g.setColorAt(1, QColor(150, 100, 25));
    p.setPen(line(QColor(90, 60, 10), 0.5));
    p.setBrush(g);
    p.drawRoundedRect(pipe, 1.5, 1.5);
    QPolygonF mouth;
    mouth << QPointF(x - 1.8, pipe.bottom() - 7) << QPointF(x + 1.8, pipe.bottom() - 7)
          << QPointF(x, pipe.bottom() - 4);
    p.setBrush(QColor(60, 35, 5));
    p.drawPolygon(mouth);
  }
  for (double x : {42.0, 114.0}) {
    box(QRectF(x, 44, 16, 3), walnut.lighter(120), 0.8);
    p.setPen(line(QColor(40, 20, 10), 0.6));
    p.setBrush(QColor(245, 240, 225));
    p.drawRect(QRectF(x + 6, 33, 4, 11));
    p.setBrush(QColor(255, 200, 60));
    p.drawEllipse(QPointF(x + 8, 30.5), 1.6, 2.6);
    p.setPen(line(QColor(230, 170, 60), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(x + 8, 58), 4.5, 4.5);
  }

  // Stop rail with knobs, key bed with keys, cheeks.
  box(QRectF(40, 66, 92, 9), walnut.darker(115));
  for (int i = 0; i < 10; ++i) {
    const double x = 47 + i * 8.7;
    p.setPen(line(kInk, 0.5));
    p.setBrush(QColor(60, 30, 15));
    p.drawEllipse(QPointF(x, 70.5), 3, 3);
    p.setBrush(QColor(245, 240, 225));
    p.drawEllipse(QPointF(x, 70.5), 1.8, 1.8);
  }
  box(QRectF(34, 75, 104, 14), walnut.darker(105));
  drawKeyRow(p, QRectF(43, 76.5, 86, 10), 17, 2, 0.4);
  p.setPen(line(kInk, 0.8));
  p.setBrush(walnut.darker(150));
  p.drawRect(QRectF(34, 87, 104, 3));

  // Lower case, knee panel, treadles.
  box(QRectF(40, 90, 92, 38), walnut);
  p.setPen(line(QColor(40, 18, 8), 0.9));
  p.setBrush(walnut.darker(125));
  p.drawRoundedRect(QRectF(58, 94, 56, 22), 3, 3);
  p.setPen(line(QColor(225, 180, 90), 0.8));
  p.setBrush(Qt::NoBrush);
  QPainterPath scroll(QPointF(66, 105));
  scroll.cubicTo(QPointF(74, 96), QPointF(80, 114), QPointF(86, 105));
  scroll.cubicTo(QPointF(92, 96), QPointF(98, 114), QPointF(106, 105));
  p.drawPath(scroll);
  for (double x : {54.0, 92.0}) {
    QPolygonF pedal;
    pedal << QPointF(x, 120) << QPointF(x + 26, 120) << QPointF(x + 28, 133) << QPointF(x - 2, 133);
    p.setPen(line(kInk, 0.9));
    p.setBrush(QColor(150, 25, 35));
    p.drawPolygon(pedal);
    p.setPen(line(QColor(230, 190, 80), 0.7));
    p.drawLine(QPointF(x + 3, 124), QPointF(x + 23, 124));
    p.drawLine(QPointF(x + 2, 129), QPointF(x + 24, 129));
  }
  box(QRectF(38, 128, 96, 5), walnut.darker(120));
}

// ---- 3, 4, 5: guitar, bass, violin ----------------------------------------------------------

void drawRedGuitar(QPainter& p) {
  floorShadow(p, QPointF(86, 132), 60, 6);
  Place guitar(p, {84, 74}, 38, 0.72);
  p.translate(0, 30);
  drawAcousticGuitar(p, QColor(200, 28, 30), true, 1.6);
}

void drawBass(QPainter& p) {
  floorShadow(p, QPointF(86, 132), 60, 6);
  Place bass(p, {86, 70}, -40, 0.58);
  p.translate(0, 50);
  drawSolidBodyGuitar(p, QColor(230, 120, 30), true, 1.8);
}

void drawViolinPicture(QPainter& p) {
  floorShadow(p, QPointF(86, 132), 60, 6);
  {
    Place bow(p, {20, 118}, -38, 0.98);
    drawBow(p, 1.2);
  }
  Place violin(p, {90, 78}, 28, 0.8);
  p.translate(0, 30);
  drawViolin(p, 1.5);
}

// ---- 6: framed picture: electric guitar, trumpet and conga on a curved keyboard -------------

void drawEnsembleFrame(QPainter& p) {
  const QRectF inner = drawFrame(p, QRectF(12, 5, 147, 131), 9, QColor(200, 150, 50));
  p.save();
  p.setClipRect(inner);
  QLinearGradient wall(inner.topLeft(), inner.bottomLeft());
  wall.setColorAt(0, QColor(40, 60, 120));
  wall.setColorAt(0.6, QColor(90, 120, 185));
  wall.setColorAt(1, QColor(160, 185, 225));
  p.fillRect(inner, wall);
  // Spot lights.
  for (QPointF c : {QPointF(50, 40), QPointF(115, 34)}) {
    QRadialGradient g(c, 40);
    g.setColorAt(0, QColor(255, 255, 230, 110));
    g.setColorAt(1, QColor(255, 255, 230, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, 40, 40);
  }

  QPainterPath front(QPointF(inner.left() - 4, inner.bottom() - 6));
  front.cubicTo(QPointF(inner.left() + 40, inner.bottom() - 40),
                QPointF(inner.right() - 40, inner.bottom() + 4),
                QPointF(inner.right() + 4, inner.bottom() - 26));
  drawCurvedKeys(p, front, 22, 22, 0.5);

  {
    Place conga(p, {120, 88}, 0, 0.52);
    drawConga(p, 1.6);
  }
  {
    Place guitar(p, {52, 72}, -32, 0.36);
    p.translate(0, 20);
    drawSolidBodyGuitar(p, QColor(210, 25, 30), false, 2.6);
  }
  {
    Place trumpet(p, {66, 34}, 8, 0.48);
    drawTrumpet(p, 2.0);
  }
  p.restore();
}

// ---- 7, 8, 9: trumpet, saxophone, bamboo flute ------------------------------------------------

void drawTrumpetPicture(QPainter& p) {
  floorShadow(p, QPointF(86, 118), 64, 7);
  Place trumpet(p, {12, 72}, -10, 1.08);
  drawTrumpet(p, 1.3);
}

void drawSaxophonePicture(QPainter& p) {
  floorShadow(p, QPointF(96, 130), 42, 5);
  Place saxophone(p, {80, 74}, 8, 0.86);
  drawSaxophone(p, 1.5);
}

void drawFlutePicture(QPainter& p) {
  {
    Place flute(p, {10, 100}, -28, 1.0);
    drawBambooFlute(p, 162, 11, 1.2);
  }
  const double a = -28 * kPi / 180;
  drawTassel(p, QPointF(10, 100) + QPointF(std::cos(a), std::sin(a)) * 157 + QPointF(0, 5), 22);
}

// ---- 10: framed picture: instruments in an evening sky --------------------------------------

void drawEveningFrame(QPainter& p) {
  const QRectF inner = drawFrame(p, QRectF(10, 6, 151, 129), 8, QColor(110, 60, 30));
  p.save();
  p.setClipRect(inner);
  QLinearGradient sky(inner.topLeft(), inner.bottomLeft());
  sky.setColorAt(0, QColor(30, 25, 85));
  sky.setColorAt(0.35, QColor(110, 55, 130));
  sky.setColorAt(0.62, QColor(235, 110, 80));
  sky.setColorAt(0.75, QColor(255, 190, 90));
  p.fillRect(inner, sky);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 220, 200));
  for (QPointF s :
       {QPointF(30, 22), QPointF(76, 16), QPointF(140, 24), QPointF(112, 44), QPointF(24, 52)})
    p.drawPath(star(s, 2.2, 0.9));
  // Setting sun with a glow.
  const QPointF sun(104, 100);
  QRadialGradient glow(sun, 34);
  glow.setColorAt(0, QColor(255, 240, 170, 230));
  glow.setColorAt(1, QColor(255, 200, 120, 0));
  p.setBrush(glow);
  p.drawEllipse(sun, 34, 34);
  p.setBrush(QColor(255, 225, 120));
  p.drawEllipse(sun, 11, 11);
  // Hills, far to near.
  QPainterPath far(QPointF(inner.left(), 100));
  far.cubicTo(QPointF(40, 84), QPointF(70, 96), QPointF(92, 94));
  far.cubicTo(QPointF(120, 90), QPointF(140, 86), QPointF(inner.right(), 96));
  far.lineTo(inner.bottomRight());
  far.lineTo(inner.bottomLeft());
  p.setBrush(QColor(120, 60, 100));
  p.drawPath(far);
  QPainterPath near(QPointF(inner.left(), 110));
  near.cubicTo(QPointF(50, 98), QPointF(80, 118), QPointF(110, 112));
  near.cubicTo(QPointF(130, 108), QPointF(145, 110), QPointF(inner.right(), 104));
  near.lineTo(inner.bottomRight());
  near.lineTo(inner.bottomLeft());
  p.setBrush(QColor(45, 25, 55));
  p.drawPath(near);
  // Little trees on the near hill.
  for (QPointF t : {QPointF(34, 104), QPointF(41, 103), QPointF(132, 106)}) {
    QPolygonF tree;
    tree << t + QPointF(0, -10) << t + QPointF(3.5, 1) << t + QPointF(-3.5, 1);
    p.drawPolygon(tree);
  }

  // Instruments drifting in the sky.
  {
    Place violin(p, {44, 58}, -25, 0.3);
    drawViolin(p, 3.2);
  }
  {
    Place trumpet(p, {84, 50}, -12, 0.42);
    drawTrumpet(p, 2.4);
  }
  {
    Place guitar(p, {128, 56}, 30, 0.26);
    drawAcousticGuitar(p, QColor(225, 150, 40), false, 3.6);
  }
  QFont notes("DejaVu Sans");
  notes.setPixelSize(15);
  p.setFont(notes);
  p.setPen(QColor(255, 240, 200));
  p.drawText(QPointF(94, 32), QString::fromUtf8("\u266B"));
  p.drawText(QPointF(20, 88), QString::fromUtf8("\u266A"));
  p.restore();
}

// ---- 11: long zither --------------------------------------------------------------------------

void drawZither(QPainter& p) {
  floorShadow(p, QPointF(86, 108), 78, 12);
  p.save();
  p.translate(6, 98);
  p.rotate(-17);
  const double len = 166;
  const double half = 23;
  QPainterPath board(QPointF(6, -half));
  board.lineTo(len - 8, -half);
  board.quadTo(QPointF(len, -half), QPointF(len, -half + 8));
  board.lineTo(len, half - 8);
  board.quadTo(QPointF(len, half), QPointF(len - 8, half));
  board.lineTo(6, half);
  board.quadTo(QPointF(0, half), QPointF(0, half - 6));
  board.lineTo(0, -half + 6);
  board.quadTo(QPointF(0, -half), QPointF(6, -half));
  // Side of the board, below it.
  p.save();
  p.translate(0, 6);
  fillOutlined(p, board, QColor(80, 40, 18), kInk, 1.2);
  p.restore();
  QLinearGradient paulownia(0, -half, 0, half);
  paulownia.setColorAt(0, QColor(170, 105, 50));
  paulownia.setColorAt(0.4, QColor(225, 165, 95));
  paulownia.setColorAt(1, QColor(150, 85, 40));
  fillOutlined(p, board, paulownia, kInk, 1.2);
  p.setPen(line(QColor(160, 95, 45, 90), 0.5));
  for (int g = 0; g < 5; ++g)
    p.drawLine(QPointF(24, -14 + g * 7), QPointF(len - 24, -15 + g * 7.3));
  // Decorated ends.
  for (auto [x0, x1] : {std::pair{2.0, 18.0}, std::pair{len - 22, len - 2}}) {
    p.setPen(line(QColor(30, 20, 15), 0.8));
    p.setBrush(QColor(40, 25, 20));
    p.drawRect(QRectF(x0, -half + 2, x1 - x0, half * 2 - 4));
    p.setPen(line(QColor(235, 190, 80), 0.8));
    p.drawLine(QPointF(x0 + 2, -half + 4), QPointF(x0 + 2, half - 4));
    p.drawLine(QPointF(x1 - 2, -half + 4), QPointF(x1 - 2, half - 4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF((x0 + x1) / 2, 0), 3.5, 6);
  }
  // Strings and the diagonal line of movable bridges.
  const int strings = 13;
  for (int i = 0; i < strings; ++i) {
    const double y = -half + 3 + i * (2 * half - 6) / (strings - 1);
    p.setPen(line(QColor(255, 252, 240), 0.8));
    p.drawLine(QPointF(20, y), QPointF(len - 24, y));
  }
  for (int i = 0; i < strings; ++i) {
    const double y = -half + 3 + i * (2 * half - 6) / (strings - 1);
    const double bx = 46 + i * 6.4 + (i % 3) * 3;
    QPolygonF bridge;
    bridge << QPointF(bx - 3.5, y + 2.2) << QPointF(bx - 0.9, y - 1.4) << QPointF(bx + 0.9, y - 1.4)
           << QPointF(bx + 3.5, y + 2.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 30, 10, 110));
    p.drawPolygon(bridge.translated(1.2, 1.2));
    p.setPen(line(QColor(90, 70, 50), 0.5));
    p.setBrush(QColor(252, 248, 230));
    p.drawPolygon(bridge);
  }
  p.restore();
}

// ---- 12: steel drum on a stand -----------------------------------------------------------------

void drawSteelDrum(QPainter& p) {
  floorShadow(p, QPointF(86, 134), 56, 5);
  const QColor chrome(205, 210, 220);
  const QPointF c(86, 52);
  const double rx = 60;
  const double ry = 22;
  const double skirt = 22;

  // Tripod stand and post.
  p.setPen(line(QColor(15, 15, 15), 3.2));
  const QPointF hub(86, 112);
  for (QPointF foot : {QPointF(44, 134), QPointF(128, 134), QPointF(94, 128)})
    p.drawLine(hub, foot);
  p.drawLine(hub, QPointF(86, 80));
  p.setPen(line(QColor(90, 90, 95), 1.0));
  p.drawLine(hub + QPointF(-1, 0), QPointF(85, 80));
  p.setPen(line(QColor(15, 15, 15), 2.4));
  p.drawLine(QPointF(60, 84), QPointF(112, 84));
  p.setBrush(QColor(30, 30, 30));
  p.drawEllipse(hub, 3, 3);
  // Hanging cords.
  p.setPen(line(QColor(30, 30, 30), 1.0));
  p.drawLine(QPointF(60, 84), QPointF(40, 62));
  p.drawLine(QPointF(112, 84), QPointF(132, 62));

  // Skirt.
  QPainterPath side(c + QPointF(-rx, 0));
  side.lineTo(c + QPointF(-rx, skirt));
  side.arcTo(QRectF(c.x() - rx, c.y() + skirt - ry, 2 * rx, 2 * ry), 180, 180);
  side.lineTo(c + QPointF(rx, 0));
  side.closeSubpath();
  QLinearGradient metal(c.x() - rx, 0, c.x() + rx, 0);
  metal.setColorAt(0, chrome.darker(200));
  metal.setColorAt(0.2, chrome.lighter(120));
  metal.setColorAt(0.35, chrome.darker(120));
  metal.setColorAt(0.6, QColor(250, 250, 255));
  metal.setColorAt(0.8, chrome.darker(140));
  metal.setColorAt(1, chrome.darker(220));
  fillOutlined(p, side, metal, QColor(40, 40, 50), 1.2);

  // Playing surface: a shallow bowl with grooved note fields.
  QRadialGradient bowl(c + QPointF(0, 4), rx);
  bowl.setColorAt(0, chrome.darker(160));
  bowl.setColorAt(0.7, chrome);
  bowl.setColorAt(1, QColor(245, 245, 250));
  p.setPen(line(QColor(40, 40, 50), 1.2));
  p.setBrush(bowl);
  p.drawEllipse(c, rx, ry);
  p.setPen(line(QColor(90, 90, 100), 0.9));
  p.setBrush(QColor(255, 255, 255, 60));
  for (int k = 0; k < 10; ++k) {
    const double a = k * 2 * kPi / 10 + 0.3;
    const QPointF n = c + QPointF(std::cos(a) * rx * 0.72, std::sin(a) * ry * 0.68);
    p.save();
    p.translate(n);
    p.rotate(std::atan2(std::sin(a) * ry, std::cos(a) * rx) * 180 / kPi + 90);
    p.drawEllipse(QPointF(0, 0), 8, 3.6);
    p.restore();
  }
  for (QPointF n : {c + QPointF(-14, -2), c + QPointF(14, 1), c + QPointF(0, 7)})
    p.drawEllipse(n, 7, 3.2);
  p.setBrush(Qt::NoBrush);
  p.setPen(line(QColor(255, 255, 255, 200), 1.6));
  p.drawArc(QRectF(c.x() - rx + 3, c.y() - ry + 2, 2 * rx - 6, 2 * ry - 4), 100 * 16, 70 * 16);

  // Two sticks with rubber tips resting on the rim.
  for (auto [a, b] : {std::pair{QPointF(118, 16), QPointF(96, 44)},
                      std::pair{QPointF(134, 24), QPointF(108, 48)}}) {
    p.setPen(line(QColor(25, 20, 15), 3.0));
    p.drawLine(a, b);
    p.setPen(line(QColor(210, 175, 120), 1.8));
    p.drawLine(a, b);
    p.setPen(line(QColor(80, 10, 10), 0.8));
    p.setBrush(QColor(215, 35, 40));
    p.drawEllipse(b, 3.8, 3.8);
  }
}

// ---- 13: framed photograph of a bird on reeds
// ------------------------------------------------------

void drawBirdPhoto(QPainter& p) {
  QRectF inner = drawFrame(p, QRectF(14, 8, 143, 125), 5, QColor(60, 60, 65));
  p.fillRect(inner, QColor(248, 246, 238));  // mount
  inner.adjust(7, 7, -7, -7);
  p.save();
  p.setClipRect(inner);
  QLinearGradient sky(inner.topLeft(), inner.bottomLeft());
  sky.setColorAt(0, QColor(150, 195, 230));
  sky.setColorAt(0.7, QColor(235, 230, 200));
  sky.setColorAt(0.78, QColor(120, 150, 160));
  sky.setColorAt(1, QColor(80, 110, 120));
  p.fillRect(inner, sky);
  p.setPen(line(QColor(230, 235, 240, 160), 0.8));
  for (int i = 0; i < 5; ++i) {
    const double y = inner.top() + inner.height() * 0.8 + i * 4;
    p.drawLine(QPointF(inner.left() + 10 + i * 9, y), QPointF(inner.left() + 34 + i * 9, y));
  }
  // Reeds: stems, blades and cattail heads.
  struct Reed {
    double x, top, lean;
    bool head;
  };
  const Reed reeds[] = {{34, 40, -6, true},   {44, 60, 4, false}, {58, 30, 6, false},
                        {70, 52, -3, true},   {96, 26, 5, false}, {116, 46, 8, true},
                        {128, 64, -4, false}, {138, 36, 3, false}};
  for (const Reed& r : reeds) {
    QPainterPath stem(QPointF(r.x, inner.bottom()));
    stem.quadTo(QPointF(r.x, (r.top + inner.bottom()) / 2), QPointF(r.x + r.lean, r.top));
    p.setBrush(Qt::NoBrush);
    p.setPen(line(QColor(95, 120, 45), 1.4));
    p.drawPath(stem);
    QPainterPath blade(QPointF(r.x, inner.bottom()));
    blade.quadTo(QPointF(r.x + r.lean * 3, r.top + 30), QPointF(r.x + r.lean * 4 + 8, r.top + 24));
    blade.quadTo(QPointF(r.x + r.lean * 2 + 2, r.top + 36), QPointF(r.x + 1.5, inner.bottom()));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 150, 60));
    p.drawPath(blade);
    if (r.head) {
      p.save();
      p.translate(r.x + r.lean * 0.9, r.top + 9);
      p.rotate(r.lean * 1.5);
      p.setBrush(QColor(110, 60, 25));
      p.drawRoundedRect(QRectF(-2.4, -7, 4.8, 14), 2.4, 2.4);
      p.restore();
    }
  }
  // Red-winged blackbird perched on the middle stem.
  p.save();
  p.translate(92, 56);
  p.rotate(-8);
  const QColor black(20, 20, 24);
  QPainterPath tail(QPointF(12, 4));
  tail.lineTo(30, 12);
  tail.lineTo(28, 17);
  tail.lineTo(10, 9);
  fillOutlined(p, tail, black, black, 0.5);
  QPainterPath body(QPointF(-14, -6));
  body.cubicTo(QPointF(-8, -16), QPointF(10, -12), QPointF(16, 2));
  body.cubicTo(QPointF(12, 12), QPointF(-4, 14), QPointF(-12, 4));
  body.closeSubpath();
  QRadialGradient sheen(QPointF(-2, -6), 20);
  sheen.setColorAt(0, QColor(60, 60, 75));
  sheen.setColorAt(1, black);
  fillOutlined(p, body, sheen, black, 0.5);
  p.setPen(Qt::NoPen);
  p.setBrush(black);
  p.drawEllipse(QPointF(-14, -6), 7.5, 7);
  QPolygonF beak;
  beak << QPointF(-20, -9) << QPointF(-28, -5) << QPointF(-20, -3.5);
  p.setBrush(QColor(50, 50, 55));
  p.drawPolygon(beak);
  p.setBrush(QColor(250, 250, 250));
  p.drawEllipse(QPointF(-15.5, -7.5), 1.5, 1.5);
  p.setBrush(QColor(0, 0, 0));
  p.drawEllipse(QPointF(-15.8, -7.5), 0.8, 0.8);
  // Wing with the red and yellow shoulder patch.
  QPainterPath wing(QPointF(-4, -6));
  wing.cubicTo(QPointF(6, -10), QPointF(16, -4), QPointF(20, 6));
  wing.cubicTo(QPointF(10, 6), QPointF(0, 2), QPointF(-4, -6));
  fillOutlined(p, wing, QColor(35, 35, 42), QColor(10, 10, 12), 0.6);
  p.setBrush(QColor(240, 200, 70));
  p.drawEllipse(QPointF(0, -4), 6, 3.6);
  p.setBrush(QColor(225, 30, 25));
  p.drawEllipse(QPointF(-0.5, -4.6), 5, 2.8);
  // Feet round the stem.
  p.setPen(line(QColor(60, 55, 50), 1.2));
  p.drawLine(QPointF(0, 10), QPointF(2, 16));
  p.drawLine(QPointF(6, 9), QPointF(6, 16));
  p.restore();
  p.restore();
}

// ---- 14: bongo drums ----------------------------------------------------------------------------

void drawBongos(QPainter& p) {
  floorShadow(p, QPointF(86, 128), 70, 8);
  const QColor chrome(210, 212, 220);
  auto drum = [&](QPointF top, double rx, double ry, double h, double taper) {
    const double bx = rx * taper;
    QPainterPath shell(top + QPointF(-rx, 0));
    shell.lineTo(top + QPointF(-bx, h));
    shell.arcTo(QRectF(top.x() - bx, top.y() + h - ry * taper, 2 * bx, 2 * ry * taper), 180, 180);
    shell.lineTo(top + QPointF(rx, 0));
    shell.closeSubpath();
    QLinearGradient wood(top.x() - rx, 0, top.x() + rx, 0);
    wood.setColorAt(0, QColor(90, 40, 15));
    wood.setColorAt(0.3, QColor(215, 140, 70));
    wood.setColorAt(0.55, QColor(185, 105, 45));
    wood.setColorAt(1, QColor(75, 30, 10));
    fillOutlined(p, shell, wood, kInk, 1.2);
    // Two painted stripes round the shell.
    for (double f : {0.55, 0.68}) {
      const double w = rx + (bx - rx) * f;
      const QRectF band(top.x() - w, top.y() + h * f - ry * 0.9, 2 * w, ry * 1.8);
      p.setPen(line(QColor(60, 22, 8), 1.8));
      p.setBrush(Qt::NoBrush);
      p.drawArc(band, 180 * 16, 180 * 16);
    }
    // Tension rods from the rim down to brackets.
    for (double f : {-0.8, -0.3, 0.3, 0.8}) {
      const QPointF a = top + QPointF(f * rx, ry * std::sqrt(1 - f * f) + 1);
      const QPointF b =
          top + QPointF(f * (rx + (bx - rx) * 0.42), h * 0.42 + ry * std::sqrt(1 - f * f));
      p.setPen(line(QColor(50, 50, 55), 2.6));
      p.drawLine(a, b);
      p.setPen(line(chrome, 1.4));
      p.drawLine(a, b);
      p.setPen(line(QColor(40, 40, 45), 0.6));
      p.setBrush(chrome);
      p.drawRect(QRectF(b.x() - 2.5, b.y() - 1, 5, 4.5));
    }
    // Rim and head.
    p.setPen(line(QColor(40, 40, 45), 1.0));
    p.setBrush(metalAcross(top + QPointF(-rx, 0), top + QPointF(rx, 0), chrome));
    p.drawEllipse(top, rx + 1.5, ry + 1.5);
    QRadialGradient skin(top + QPointF(-rx * 0.3, -ry * 0.3), rx);
    skin.setColorAt(0, QColor(250, 240, 215));
    skin.setColorAt(1, QColor(215, 190, 145));
    p.setBrush(skin);
    p.drawEllipse(top, rx - 1.5, ry - 1.5);
  };
  // Centre block joining the pair.
  p.setPen(line(kInk, 1.0));
  p.setBrush(QColor(150, 80, 35));
  p.drawRect(QRectF(74, 62, 20, 22));
  drum(QPointF(52, 50), 28, 9, 64, 0.74);
  drum(QPointF(116, 46), 35, 11, 70, 0.74);
}

}  // namespace

QImage drawInstrumentStrip(int scale) {
  QImage strip =
      canvas({kInstrumentWidth * kInstrumentCount, kInstrumentHeight}, QImage::Format_RGB32, scale);
  strip.fill(kWindowGreen);
  QPainter p(&strip);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const std::function<void(QPainter&)> pictures[kInstrumentCount] = {
      drawGrandPiano,    drawDulcimer,       drawReedOrgan,
      drawRedGuitar,     drawBass,           drawViolinPicture,
      drawEnsembleFrame, drawTrumpetPicture, drawSaxophonePicture,
      drawFlutePicture,  drawEveningFrame,   drawZither,
      drawSteelDrum,     drawBirdPhoto,      drawBongos};
  for (int k = 0; k < kInstrumentCount; ++k) {
    p.save();
    p.translate(k * kInstrumentWidth, 0);
    // Keep each picture inside its cell and off the cell's outer pixels, so the strip's
    // corner pixel always carries the background colour.
    p.setClipRect(QRect(1, 1, kInstrumentWidth - 2, kInstrumentHeight - 2));
    pictures[k](p);
    p.restore();
  }
  p.end();
  return strip;
}

}  // namespace tonvale::pictures
