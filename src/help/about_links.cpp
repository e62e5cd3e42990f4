#include "help/about_links.h"

#include <QCoreApplication>

namespace tonvale {

const std::array<AboutLink, kLinkCount> kAboutLinks{{
    {kLinkMail, QT_TRANSLATE_NOOP("AboutLinks", "tonvale@tonvale.org")},
    {kLinkHome, QT_TRANSLATE_NOOP("AboutLinks", "https://tonvale.org/")},
    {kLinkDownload1, QT_TRANSLATE_NOOP("AboutLinks", "https://sourceforge.net/projects/tonvale/")},
    {kLinkDownload2,
     QT_TRANSLATE_NOOP("AboutLinks", "https://tonvale.org/download/tonvale-1.0.tar.gz")},
}};

QString LinkAddress(const AboutLink& link) {
  return QCoreApplication::translate("AboutLinks", link.address);
}

QUrl LinkTarget(const AboutLink& link) {
  const QString address = LinkAddress(link);
  if (link.id == kLinkMail) return QUrl(QStringLiteral("mailto:") + address, QUrl::StrictMode);
  return QUrl(address, QUrl::StrictMode);
}

bool StrictlyInside(const QRect& rect, const QPoint& point) {
  // Right and bottom are taken one past the last pixel, as a window
  // rectangle gives them.
  const int right = rect.x() + rect.width();
  const int bottom = rect.y() + rect.height();
  return rect.x() < point.x() && point.x() < right && rect.y() < point.y() && point.y() < bottom;
}

}  // namespace tonvale
