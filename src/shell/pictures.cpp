#include "shell/pictures.h"

#include <QImage>

namespace tonvale {

QColor BackgroundOf(const QPixmap& instruments) {
  if (instruments.isNull()) return QColor(kFallbackBackground);
  const QImage top_left = instruments.copy(0, 0, 1, 1).toImage();
  return top_left.pixelColor(0, 0);
}

Pictures LoadPictures() {
  Pictures p;
  p.splash.load(QStringLiteral(":/res/splash.png"));
  p.instruments.load(QStringLiteral(":/res/instruments.png"));
  p.toolbar.load(QStringLiteral(":/res/toolbar.png"));
  p.key_marks.load(QStringLiteral(":/res/keymarks.png"));
  for (int size : {16, 32, 48, 256}) {
    const QString path = QStringLiteral(":/res/tonvale-%1.png").arg(size);
    const QPixmap icon(path);
    if (!icon.isNull()) p.icon.addPixmap(icon);
  }
  p.background = BackgroundOf(p.instruments);
  return p;
}

}  // namespace tonvale
