#include "shell/pictures.h"

#include <QGuiApplication>
#include <QImage>

#include "help/picture_file.h"

namespace tonvale {

QColor BackgroundOf(const QPixmap& instruments) {
  if (instruments.isNull()) return QColor(kFallbackBackground);
  const QImage top_left = instruments.copy(0, 0, 1, 1).toImage();
  return top_left.pixelColor(0, 0);
}

QRect InPicturePixels(const QPixmap& picture, const QRect& logical) {
  const qreal ratio = picture.devicePixelRatio();
  return QRectF(QPointF(logical.topLeft()) * ratio, QSizeF(logical.size()) * ratio).toRect();
}

Pictures LoadPictures(qreal device_pixel_ratio) {
  Pictures p;
  p.splash = LoadPicture(QStringLiteral("splash"), device_pixel_ratio);
  p.instruments = LoadPicture(QStringLiteral("instruments"), device_pixel_ratio);
  p.toolbar = LoadPicture(QStringLiteral("toolbar"), device_pixel_ratio);
  p.key_marks = LoadPicture(QStringLiteral("keymarks"), device_pixel_ratio);
  p.pedal = LoadPicture(QStringLiteral("pedal"), device_pixel_ratio);
  for (int size : {16, 32, 48, 256}) {
    const QPixmap icon = LoadPicture(QStringLiteral("tonvale-%1").arg(size), device_pixel_ratio);
    if (!icon.isNull()) p.icon.addPixmap(icon);
  }
  p.background = BackgroundOf(p.instruments);
  return p;
}

Pictures LoadPictures() {
  return LoadPictures(qGuiApp->devicePixelRatio());
}

}  // namespace tonvale
