#include "help/dialog_units.h"

#include <QFontMetrics>
#include <QTextLayout>
#include <cmath>
#include <cstdlib>

namespace tonvale {

DialogBaseUnits MeasureDialogBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
  // The Chinese texts fall back to a CJK face whose line is taller than the
  // Latin face's; the height is that of a line holding both, as laid out.
  QTextLayout layout(QStringLiteral("Mg确定联系主页"), font);
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  const int line_height = static_cast<int>(std::ceil(line.height()));
  // (width / 26 + 1) / 2: the average over 52 letters, rounded.
  return {(letters / 26 + 1) / 2, std::max(metrics.height(), line_height)};
}

int ScaleRounded(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::llabs(static_cast<long long>(c)) / 2;
  const bool negative = (product < 0) != (c < 0);
  const long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

QRect DialogRectToPixels(const QRect& units, const DialogBaseUnits& base) {
  // Position and size are scaled one by one, as a dialog template's are.
  return QRect(ScaleRounded(units.x(), base.char_width, 4),
               ScaleRounded(units.y(), base.char_height, 8),
               ScaleRounded(units.width(), base.char_width, 4),
               ScaleRounded(units.height(), base.char_height, 8));
}

}  // namespace tonvale
