// Instruments drawn in their own coordinates, so that the picture strip, the tool bar and the
// framed pictures can place and scale the same drawing. `ink` is the outline width in those
// coordinates: callers that shrink a figure pass a wider ink so outlines survive.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>

namespace tonvale::pictures {

// Body outlines, in the coordinates of the drawings below.
QPainterPath acousticBodyOutline();
QPainterPath solidBodyOutline();
QPainterPath violinBodyOutline();

// Upright acoustic guitar, neck up; body from y -24 to 68, head top at y -132.
void drawAcousticGuitar(QPainter& p, const QColor& body, bool withStrap, double ink);

// Upright solid-body guitar, neck up. Four strings and a long neck make the bass (head top at
// y -178); six strings and a shorter neck make the electric guitar (head top at y -128).
// Body spans about x -34..32, y -18..76.
void drawSolidBodyGuitar(QPainter& p, const QColor& body, bool bass, double ink);

// Upright violin, scroll up; body from y -40 to 44, scroll top at y -110.
void drawViolin(QPainter& p, double ink);

// Violin bow lying along the x axis from x 0 to 150.
void drawBow(QPainter& p, double ink);

// Trumpet, mouthpiece at (0, 0), bell opening to the right at x 135.
void drawTrumpet(QPainter& p, double ink);

// Saxophone, bell up and to the right; spans about x -34..54, y -84..56.
void drawSaxophone(QPainter& p, double ink);

// Conga drum standing on (0, 0), head at y -80, about 36 wide.
void drawConga(QPainter& p, double ink);

// Bamboo flute along the x axis from x 0 to `length`, `bore` thick.
void drawBambooFlute(QPainter& p, double length, double bore, double ink);

// Red silk tassel hanging `drop` below `anchor`.
void drawTassel(QPainter& p, QPointF anchor, double drop);

}  // namespace tonvale::pictures
