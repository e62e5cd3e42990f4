#include "help/link_label.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#include "help/picture_file.h"

namespace tonvale {

QCursor LinkCursor() {
  const QPixmap hand = LoadPicture(QStringLiteral("hand"), qGuiApp->devicePixelRatio());
  if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
  // Qt on X11 places the hot spot in the picture's own pixels, elsewhere in
  // logical pixels (Wayland, Windows, macOS).
  const int pixels =
      QGuiApplication::platformName() == QLatin1String("xcb") ? qRound(hand.devicePixelRatio()) : 1;
  return QCursor(hand, kHandHotSpot.x() * pixels, kHandHotSpot.y() * pixels);
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
