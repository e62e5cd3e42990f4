#include "help/picture_file.h"

namespace tonvale {

QPixmap LoadPicture(const QString& name, qreal device_pixel_ratio) {
  if (device_pixel_ratio >= 2) {
    QPixmap sharp(QStringLiteral(":/res/%1@2x.png").arg(name));
    if (!sharp.isNull()) {
      sharp.setDevicePixelRatio(2);
      return sharp;
    }
  }
  return QPixmap(QStringLiteral(":/res/%1.png").arg(name));
}

}  // namespace tonvale
