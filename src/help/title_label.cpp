#include "help/title_label.h"

#include <QPainter>

namespace tonvale {

QFont TitleFont() {
  QFont font(QStringLiteral("Times New Roman"));
  font.setPointSize(24);
  font.setBold(true);
  return font;
}

TitleLabel::TitleLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TitleLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(kTitleColour);
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text_);
}

}  // namespace tonvale
