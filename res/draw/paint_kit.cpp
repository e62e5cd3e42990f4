#include "paint_kit.h"

#include <QLineF>
#include <QPolygonF>
#include <cmath>
#include <numbers>

namespace tonvale::pictures {

QImage canvas(QSize size, QImage::Format format, int scale) {
  QImage image(size * scale, format);
  image.setDevicePixelRatio(scale);
  return image;
}

QPen line(const QColor& c, double width) {
  return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QColor mix(const QColor& a, const QColor& b, double t) {
  auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                lerp(a.alpha(), b.alpha()));
}

QPainterPath tubeOutline(const QPainterPath& centre, const std::function<double(double)>& widthAt,
                         int steps) {
  QPolygonF left;
  QPolygonF right;
  const double length = centre.length();
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double at = centre.percentAtLength(t * length);
    const double before = centre.percentAtLength(std::max(0.0, t * length - 0.5));
    const double after = centre.percentAtLength(std::min(length, t * length + 0.5));
    const QPointF d = centre.pointAtPercent(after) - centre.pointAtPercent(before);
    const double n = std::hypot(d.x(), d.y());
    const QPointF normal = n > 0 ? QPointF(-d.y() / n, d.x() / n) : QPointF(0, 1);
    const QPointF c = centre.pointAtPercent(at);
    const double half = widthAt(t) / 2;
    left << c + normal * half;
    right.prepend(c - normal * half);
  }
  QPainterPath outline;
  outline.addPolygon(left + right);
  outline.closeSubpath();
  return outline;
}

QPainterPath mirroredOutline(QPointF top, const std::vector<HalfCurve>& rightHalf) {
  auto flip = [](QPointF q) { return QPointF(-q.x(), q.y()); };
  QPainterPath path(top);
  for (const HalfCurve& c : rightHalf) path.cubicTo(c.c1, c.c2, c.end);
  for (std::size_t i = rightHalf.size(); i-- > 0;) {
    const QPointF start = i == 0 ? top : rightHalf[i - 1].end;
    path.cubicTo(flip(rightHalf[i].c2), flip(rightHalf[i].c1), flip(start));
  }
  path.closeSubpath();
  return path;
}

void fillOutlined(QPainter& p, const QPainterPath& shape, const QBrush& fill, const QColor& edge,
                  double edgeWidth) {
  p.save();
  p.setBrush(fill);
  if (edgeWidth > 0) {
    p.setPen(line(edge, edgeWidth));
  } else {
    p.setPen(Qt::NoPen);
  }
  p.drawPath(shape);
  p.restore();
}

void drawTube(QPainter& p, const QPainterPath& centre, double width, const QColor& body) {
  p.save();
  p.setBrush(Qt::NoBrush);
  p.setPen(line(body.darker(230), width + 1.6));
  p.drawPath(centre);
  p.setPen(line(body, width));
  p.drawPath(centre);
  p.translate(-width * 0.18, -width * 0.18);
  p.setPen(line(body.lighter(150), width * 0.3));
  p.drawPath(centre);
  p.restore();
}

QLinearGradient metalAcross(QPointF from, QPointF to, const QColor& base) {
  QLinearGradient g(from, to);
  g.setColorAt(0.0, base.darker(160));
  g.setColorAt(0.25, base.lighter(150));
  g.setColorAt(0.45, base);
  g.setColorAt(0.8, base.darker(140));
  g.setColorAt(1.0, base.darker(190));
  return g;
}

QRectF drawFrame(QPainter& p, const QRectF& outer, double width, const QColor& moulding) {
  const QRectF inner = outer.adjusted(width, width, -width, -width);
  p.save();
  p.setPen(Qt::NoPen);
  // Four bevelled sides, lit from the top left.
  const QPointF o[4] = {outer.topLeft(), outer.topRight(), outer.bottomRight(), outer.bottomLeft()};
  const QPointF i[4] = {inner.topLeft(), inner.topRight(), inner.bottomRight(), inner.bottomLeft()};
  const int light[4] = {140, 100, 60, 115};  // top, right, bottom, left
  for (int s = 0; s < 4; ++s) {
    const int n = (s + 1) % 4;
    QPolygonF side;
    side << o[s] << o[n] << i[n] << i[s];
    const QColor c = light[s] >= 100 ? moulding.lighter(light[s]) : moulding.darker(200 - light[s]);
    p.setBrush(c);
    p.drawPolygon(side);
  }
  // A raised bead in the middle of the moulding.
  p.setBrush(Qt::NoBrush);
  const double m = width * 0.45;
  p.setPen(QPen(moulding.lighter(170), width * 0.18));
  p.drawRect(outer.adjusted(m, m, -m, -m));
  p.setPen(QPen(moulding.darker(250), 1.0));
  p.drawRect(outer.adjusted(0.5, 0.5, -0.5, -0.5));
  p.drawRect(inner.adjusted(-0.5, -0.5, 0.5, 0.5));
  p.restore();
  return inner;
}

namespace {
// Black keys follow the white keys C D F G A (degrees 0 1 3 4 5 of the white keys).
bool blackAfter(int degree) {
  const int d = ((degree % 7) + 7) % 7;
  return d == 0 || d == 1 || d == 3 || d == 4 || d == 5;
}
}  // namespace

void drawKeyRow(QPainter& p, const QRectF& area, int whiteKeys, int firstDegree, double ink) {
  p.save();
  const double w = area.width() / whiteKeys;
  p.setPen(QPen(QColor(60, 60, 60), ink));
  for (int k = 0; k < whiteKeys; ++k) {
    QLinearGradient g(0, area.top(), 0, area.bottom());
    g.setColorAt(0, QColor(225, 225, 220));
    g.setColorAt(1, QColor(255, 255, 250));
    p.setBrush(g);
    p.drawRect(QRectF(area.left() + k * w, area.top(), w, area.height()));
  }
  p.setPen(Qt::NoPen);
  for (int k = 0; k + 1 < whiteKeys; ++k) {
    if (!blackAfter(firstDegree + k)) continue;
    const QRectF key(area.left() + (k + 1) * w - w * 0.32, area.top(), w * 0.64,
                     area.height() * 0.62);
    p.setBrush(QColor(20, 20, 20));
    p.drawRect(key);
    p.setBrush(QColor(90, 90, 90));
    p.drawRect(QRectF(key.left() + key.width() * 0.2, key.bottom() - key.height() * 0.18,
                      key.width() * 0.6, key.height() * 0.12));
  }
  p.restore();
}

void drawCurvedKeys(QPainter& p, const QPainterPath& front, double depth, int whiteKeys,
                    double ink) {
  p.save();
  const double length = front.length();
  auto at = [&](double s) { return front.pointAtPercent(front.percentAtLength(s)); };
  auto inward = [&](double s) {
    const QPointF d = at(std::min(length, s + 0.5)) - at(std::max(0.0, s - 0.5));
    const double n = std::hypot(d.x(), d.y());
    return QPointF(d.y() / n, -d.x() / n);  // left of travel in y-down coordinates
  };
  const double w = length / whiteKeys;
  auto quad = [&](double s0, double s1, double d0, double d1) {
    QPolygonF q;
    q << at(s0) + inward(s0) * d0 << at(s1) + inward(s1) * d0 << at(s1) + inward(s1) * d1
      << at(s0) + inward(s0) * d1;
    return q;
  };
  p.setPen(line(QColor(70, 70, 70), ink));
  p.setBrush(QColor(250, 250, 245));
  for (int k = 0; k < whiteKeys; ++k) p.drawPolygon(quad(k * w, (k + 1) * w, 0, depth));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(25, 25, 25));
  for (int k = 0; k + 1 < whiteKeys; ++k) {
    if (!blackAfter(k)) continue;
    p.drawPolygon(quad((k + 1) * w - w * 0.3, (k + 1) * w + w * 0.3, depth * 0.38, depth));
  }
  p.restore();
}

QPainterPath star(QPointF centre, double outer, double inner) {
  QPolygonF poly;
  for (int i = 0; i < 10; ++i) {
    const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    const double r = i % 2 == 0 ? outer : inner;
    poly << centre + QPointF(std::cos(a) * r, std::sin(a) * r);
  }
  QPainterPath path;
  path.addPolygon(poly);
  path.closeSubpath();
  return path;
}

}  // namespace tonvale::pictures
