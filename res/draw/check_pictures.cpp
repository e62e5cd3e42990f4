// Checks the shipped pictures against what the program relies on: sizes, the window colour
// carried by the instrument strip, transparency where it is needed, light key faces for the
// black labels, the cursor's hot spot and the resource list.
//   tonvale-check-pictures <res folder>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <cstdio>

#include "pictures.h"

using namespace tonvale::pictures;

namespace {

int failures = 0;

void expect(bool ok, const QString& what) {
  if (!ok) {
    ++failures;
    std::fprintf(stderr, "FAIL: %s\n", qPrintable(what));
  }
}

QImage load(const QDir& dir, const QString& name, QSize size) {
  QImage image(dir.filePath(name));
  expect(!image.isNull(), name + " loads");
  if (image.isNull()) return image;
  expect(image.size() == size, QStringLiteral("%1 is %2x%3, found %4x%5")
                                   .arg(name)
                                   .arg(size.width())
                                   .arg(size.height())
                                   .arg(image.width())
                                   .arg(image.height()));
  return image.convertToFormat(QImage::Format_ARGB32);
}

double share(const QImage& image, QRect area, auto&& test) {
  int hits = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) hits += test(image.pixel(x, y)) ? 1 : 0;
  return static_cast<double>(hits) / (area.width() * area.height());
}

void checkInstrumentStrip(const QDir& dir) {
  const QImage strip =
      load(dir, "instruments.png", {kInstrumentWidth * kInstrumentCount, kInstrumentHeight});
  if (strip.size() != QSize(kInstrumentWidth * kInstrumentCount, kInstrumentHeight)) return;
  const QRgb green = kWindowGreen.rgb();
  expect(!QImage(dir.filePath("instruments.png")).hasAlphaChannel(), "strip has no alpha");
  expect(strip.pixel(0, 0) == green, "strip pixel (0, 0) is the window green");
  for (int k = 0; k < kInstrumentCount; ++k) {
    const QRect cell(k * kInstrumentWidth, 0, kInstrumentWidth, kInstrumentHeight);
    bool edge = true;
    for (int x = cell.left(); x <= cell.right(); ++x)
      edge = edge && strip.pixel(x, cell.top()) == green && strip.pixel(x, cell.bottom()) == green;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      edge = edge && strip.pixel(cell.left(), y) == green && strip.pixel(cell.right(), y) == green;
    expect(edge, QStringLiteral("picture %1 leaves its outer pixels green").arg(k));
    const double drawn = share(strip, cell, [green](QRgb c) { return c != green; });
    expect(drawn > 0.05, QStringLiteral("picture %1 is drawn (%2 of the cell)").arg(k).arg(drawn));
  }
}

void checkToolbar(const QDir& dir) {
  const QImage bar = load(dir, "toolbar.png", {kToolbarIcon * kToolbarCount, kToolbarIcon});
  if (bar.isNull() || bar.width() != kToolbarIcon * kToolbarCount) return;
  for (int i = 0; i < kToolbarCount; ++i) {
    const QRect cell(i * kToolbarIcon, 0, kToolbarIcon, kToolbarIcon);
    const double opaque = share(bar, cell, [](QRgb c) { return qAlpha(c) > 128; });
    expect(opaque > 0.15 && opaque < 0.98,
           QStringLiteral("tool-bar icon %1 is drawn on a clear ground (%2 opaque)")
               .arg(i)
               .arg(opaque));
  }
}

void checkKeyMarks(const QDir& dir) {
  const QImage marks = load(dir, "keymarks.png", {kKeyMarkWidth * 4, kKeyMarkHeight});
  if (marks.width() != kKeyMarkWidth * 4) return;
  expect(share(marks, marks.rect(), [](QRgb c) { return qAlpha(c) == 255; }) == 1.0,
         "key marks are opaque");
  double red[4] = {}, green[4] = {}, blue[4] = {};
  for (int i = 0; i < 4; ++i) {
    // Where the label and the octave dots are drawn.
    const QRect face(i * kKeyMarkWidth + 9, 4, 20, 30);
    const double light = share(marks, face, [](QRgb c) { return qGray(c) >= 150; });
    expect(light == 1.0, QStringLiteral("key face %1 is light under the label").arg(i));
    for (int y = face.top(); y <= face.bottom(); ++y)
      for (int x = face.left(); x <= face.right(); ++x) {
        red[i] += qRed(marks.pixel(x, y));
        green[i] += qGreen(marks.pixel(x, y));
        blue[i] += qBlue(marks.pixel(x, y));
      }
  }
  auto spread = [](double a, double b, double c) {
    return std::max({a, b, c}) - std::min({a, b, c});
  };
  const double n = 20.0 * 30.0;
  expect(spread(red[0], green[0], blue[0]) / n < 12, "released key is grey");
  expect(blue[1] > red[1] + 20 * n && blue[1] > green[1] + 10 * n, "pressed key is blue");
  expect(red[2] > green[2] + 20 * n && red[2] > blue[2] + 20 * n, "octave-up key is red");
  expect(green[3] > red[3] + 20 * n && green[3] > blue[3] + 20 * n, "octave-down key is green");
}

void checkCursorAndIcons(const QDir& dir) {
  const QImage hand = load(dir, "hand.png", {32, 32});
  if (hand.size() == QSize(32, 32)) {
    const QPoint hot = handCursorHotSpot();
    expect(qAlpha(hand.pixel(hot)) == 255, "cursor hot spot is on the hand");
    expect(share(hand, QRect(0, 0, 32, hot.y()), [](QRgb c) { return qAlpha(c) != 0; }) == 0 ||
               hot.y() == 0,
           "nothing of the hand lies above the hot spot");
    expect(qAlpha(hand.pixel(0, 31)) == 0 && qAlpha(hand.pixel(31, 31)) == 0 &&
               qAlpha(hand.pixel(31, 0)) == 0,
           "cursor corners are clear");
    expect(hand == drawHandCursor().convertToFormat(QImage::Format_ARGB32),
           "hand.png matches the drawn cursor");
  }
  for (int size : {16, 32, 48, 256}) {
    const QString name = QStringLiteral("tonvale-%1.png").arg(size);
    const QImage icon = load(dir, name, {size, size});
    if (icon.size() != QSize(size, size)) continue;
    expect(qAlpha(icon.pixel(0, 0)) == 0, name + " has a clear corner");
    expect(qAlpha(icon.pixel(size / 2, size / 2)) == 255, name + " is solid in the middle");
  }
  const QImage splash = load(dir, "splash.png", {200, 200});
  expect(!splash.isNull() &&
             share(splash, splash.rect(), [](QRgb c) { return qAlpha(c) == 255; }) == 1.0,
         "splash is opaque");
}

void checkResourceList(const QDir& dir) {
  QFile qrc(dir.filePath("resources.qrc"));
  expect(qrc.open(QIODevice::ReadOnly), "resources.qrc opens");
  const QString text = QString::fromUtf8(qrc.readAll());
  expect(text.contains(QStringLiteral("<qresource prefix=\"/res\">")), "resources use prefix /res");
  QSet<QString> listed;
  const QRegularExpression file(QStringLiteral("<file>([^<]+)</file>"));
  for (auto it = file.globalMatch(text); it.hasNext();) listed.insert(it.next().captured(1));
  const QSet<QString> wanted = {"splash.png",     "instruments.png", "toolbar.png",
                                "keymarks.png",   "tonvale-16.png",  "tonvale-32.png",
                                "tonvale-48.png", "tonvale-256.png", "hand.png"};
  for (const QString& name : wanted) {
    expect(listed.contains(name), name + " is listed in resources.qrc");
    expect(QFile::exists(dir.filePath(name)), name + " exists");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tonvale-check-pictures <res folder>\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  checkInstrumentStrip(dir);
  checkToolbar(dir);
  checkKeyMarks(dir);
  checkCursorAndIcons(dir);
  checkResourceList(dir);
  if (failures == 0) std::printf("pictures: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
