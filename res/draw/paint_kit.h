// Small drawing helpers shared by every picture of the program.
#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <functional>
#include <vector>

namespace tonvale::pictures {

// An image `scale` times `size` in pixels that painters draw on in the coordinates of `size`,
// so one drawing gives both the plain picture and the sharp one for dense screens.
QImage canvas(QSize size, QImage::Format format, int scale);

// A pen with round caps and joins, as the outlines here are drawn.
QPen line(const QColor& c, double width);

// Places a figure drawn in its own coordinates until the end of the scope: its origin at
// `at`, turned by `degrees` and scaled evenly. The painter's state comes back afterwards.
class Place {
 public:
  Place(QPainter& p, QPointF at, double degrees, double scale) : p_(p) {
    p_.save();
    p_.translate(at);
    p_.rotate(degrees);
    p_.scale(scale, scale);
  }
  ~Place() { p_.restore(); }
  Place(const Place&) = delete;
  Place& operator=(const Place&) = delete;

 private:
  QPainter& p_;
};

// Blend of two colours; t = 0 gives a, t = 1 gives b.
QColor mix(const QColor& a, const QColor& b, double t);

// Outline of a tube that follows `centre`, with the width at fraction t (0..1) of its length.
QPainterPath tubeOutline(const QPainterPath& centre, const std::function<double(double)>& widthAt,
                         int steps = 96);

// One cubic piece of the right half of a left-right symmetric outline.
struct HalfCurve {
  QPointF c1, c2, end;
};
// Closed outline from its right half, starting on the axis at `top` and ending on the axis.
QPainterPath mirroredOutline(QPointF top, const std::vector<HalfCurve>& rightHalf);

// Fill then outline.
void fillOutlined(QPainter& p, const QPainterPath& shape, const QBrush& fill, const QColor& edge,
                  double edgeWidth);

// A metal tube along `centre`: dark rim, body colour and a thin highlight.
void drawTube(QPainter& p, const QPainterPath& centre, double width, const QColor& body);

// Brushed-metal gradient across a straight band from `from` to `to`.
QLinearGradient metalAcross(QPointF from, QPointF to, const QColor& base);

// A picture frame with bevelled moulding; returns the opening inside it.
QRectF drawFrame(QPainter& p, const QRectF& outer, double width, const QColor& moulding);

// A row of piano keys seen from above, the front edge at the bottom of `area`.
void drawKeyRow(QPainter& p, const QRectF& area, int whiteKeys, int firstDegree, double ink);

// Piano keys laid along a curve: the front ends of the keys follow `front`, the keys
// run `depth` to the left of the direction of travel.
void drawCurvedKeys(QPainter& p, const QPainterPath& front, double depth, int whiteKeys,
                    double ink);

// A five-point star.
QPainterPath star(QPointF centre, double outer, double inner);

}  // namespace tonvale::pictures
