#include "help/link_label.h"

#include <QPainter>
#include <QPixmap>

namespace tonvale {

QCursor LinkCursor() {
  const QPixmap hand(QStringLiteral(":/res/hand.png"));
  if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
  return QCursor(hand, kHandHotSpot.x(), kHandHotSpot.y());
}

QFont LinkFont(const QFont& dialog_font) {
  QFont font(QStringLiteral("Times New Roman"));
  if (dialog_font.pointSizeF() > 0) {
    font.setPointSizeF(dialog_font.pointSizeF());
  } else {
    font.setPixelSize(dialog_font.pixelSize());
  }
  font.setUnderline(true);
  return font;
}

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  // Mouse messages go to the dialog, which does the hit test itself.
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LinkLabel::setVisited(bool visited) {
  visited_ = visited;
  repaint();  // at once, not at the next paint
}

void LinkLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(visited_ ? kVisitedLinkColour : QColor(Qt::black));
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
}

}  // namespace tonvale
