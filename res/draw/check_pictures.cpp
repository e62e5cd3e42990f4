// Checks the shipped pictures against what the program relies on: sizes, the window colour
// carried by the instrument strip, transparency where it is needed, light key faces for the
// black labels, the pedal's sign, the cursor's hot spot and the resource list; each picture
// also at twice the size, drawn the same.
//   tonvale-check-pictures <res folder>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

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

// A picture's file at a scale: "name.png", or "name@2x.png" drawn at twice the size.
QString fileOf(const QString& base, int scale) {
  return base + (scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale)) + ".png";
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
  if (image.size() != size) return {};
  return image.convertToFormat(QImage::Format_ARGB32);
}

double share(const QImage& image, QRect area, auto&& test) {
  int hits = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) hits += test(image.pixel(x, y)) ? 1 : 0;
  return static_cast<double>(hits) / (area.width() * area.height());
}

QRect scaled(const QRect& r, int scale) {
  return {r.topLeft() * scale, r.size() * scale};
}

void checkInstrumentStrip(const QDir& dir, int scale) {
  const QString name = fileOf("instruments", scale);
  const QImage strip =
      load(dir, name, QSize(kInstrumentWidth * kInstrumentCount, kInstrumentHeight) * scale);
  if (strip.isNull()) return;
  const QRgb green = kWindowGreen.rgb();
  expect(!QImage(dir.filePath(name)).hasAlphaChannel(), name + " has no alpha");
  expect(strip.pixel(0, 0) == green, name + " pixel (0, 0) is the window green");
  for (int k = 0; k < kInstrumentCount; ++k) {
    const QRect cell =
        scaled({k * kInstrumentWidth, 0, kInstrumentWidth, kInstrumentHeight}, scale);
    bool edge = true;
    for (int x = cell.left(); x <= cell.right(); ++x)
      edge = edge && strip.pixel(x, cell.top()) == green && strip.pixel(x, cell.bottom()) == green;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      edge = edge && strip.pixel(cell.left(), y) == green && strip.pixel(cell.right(), y) == green;
    expect(edge, QStringLiteral("%1: picture %2 leaves its outer pixels green").arg(name).arg(k));
    const double drawn = share(strip, cell, [green](QRgb c) { return c != green; });
    expect(drawn > 0.05,
           QStringLiteral("%1: picture %2 is drawn (%3 of the cell)").arg(name).arg(k).arg(drawn));
  }
}

void checkToolbar(const QDir& dir, int scale) {
  const QString name = fileOf("toolbar", scale);
  const QImage bar = load(dir, name, QSize(kToolbarIcon * kToolbarCount, kToolbarIcon) * scale);
  if (bar.isNull()) return;
  for (int i = 0; i < kToolbarCount; ++i) {
    const QRect cell = scaled({i * kToolbarIcon, 0, kToolbarIcon, kToolbarIcon}, scale);
    const double opaque = share(bar, cell, [](QRgb c) { return qAlpha(c) > 128; });
    expect(opaque > 0.15 && opaque < 0.98,
           QStringLiteral("%1: icon %2 is drawn on a clear ground (%3 opaque)")
               .arg(name)
               .arg(i)
               .arg(opaque));
  }
}

void checkKeyMarks(const QDir& dir, int scale) {
  const QString name = fileOf("keymarks", scale);
  const QImage marks = load(dir, name, QSize(kKeyMarkWidth * 4, kKeyMarkHeight) * scale);
  if (marks.isNull()) return;
  expect(share(marks, marks.rect(), [](QRgb c) { return qAlpha(c) == 255; }) == 1.0,
         name + ": key marks are opaque");
  double red[4] = {}, green[4] = {}, blue[4] = {};
  // Where the label and the octave dots are drawn.
  const QSize faceSize = QSize(20, 30) * scale;
  for (int i = 0; i < 4; ++i) {
    const QRect face = scaled({i * kKeyMarkWidth + 9, 4, 20, 30}, scale);
    const double light = share(marks, face, [](QRgb c) { return qGray(c) >= 150; });
    expect(light == 1.0,
           QStringLiteral("%1: key face %2 is light under the label").arg(name).arg(i));
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
  const double n = faceSize.width() * faceSize.height();
  expect(spread(red[0], green[0], blue[0]) / n < 12, name + ": released key is grey");
  expect(blue[1] > red[1] + 20 * n && blue[1] > green[1] + 10 * n, name + ": pressed key is blue");
  expect(red[2] > green[2] + 20 * n && red[2] > blue[2] + 20 * n, name + ": octave-up key is red");
  expect(green[3] > red[3] + 20 * n && green[3] > blue[3] + 20 * n,
         name + ": octave-down key is green");
}

// The held pedal: an opaque bar, light blue on either side of its dark sign.
void checkPedal(const QDir& dir, int scale) {
  const QString name = fileOf("pedal", scale);
  const QImage pedal = load(dir, name, QSize(kPedalMarkWidth, kKeyMarkHeight) * scale);
  if (pedal.isNull()) return;
  expect(share(pedal, pedal.rect(), [](QRgb c) { return qAlpha(c) == 255; }) == 1.0,
         name + ": the pedal is opaque");
  const auto dark = [](QRgb c) { return qGray(c) < 60; };
  const QRect sign = scaled({kPedalMarkWidth / 2 - 30, 8, 60, 24}, scale);
  expect(share(pedal, sign, dark) > 0.1, name + ": the pedal sign is drawn in the middle");
  for (const QRect& side : {QRect(9, 6, 60, 26), QRect(kPedalMarkWidth - 69, 6, 60, 26)}) {
    const QRect face = scaled(side, scale);
    expect(share(pedal, face, [](QRgb c) { return qBlue(c) > qRed(c) + 40 && qGray(c) >= 150; }) ==
               1.0,
           name + ": the bar's face is light blue beside the sign");
  }
}

void checkIconsAndSplash(const QDir& dir, int scale) {
  for (int size : {16, 32, 48, 256}) {
    const QString name = fileOf(QStringLiteral("tonvale-%1").arg(size), scale);
    const QImage icon = load(dir, name, QSize(size, size) * scale);
    if (icon.isNull()) continue;
    const int middle = size * scale / 2;
    expect(qAlpha(icon.pixel(0, 0)) == 0, name + " has a clear corner");
    expect(qAlpha(icon.pixel(middle, middle)) == 255, name + " is solid in the middle");
  }
  const QString name = fileOf("splash", scale);
  const QImage splash = load(dir, name, QSize(kSplashSize, kSplashSize) * scale);
  expect(!splash.isNull() &&
             share(splash, splash.rect(), [](QRgb c) { return qAlpha(c) == 255; }) == 1.0,
         name + " is opaque");
}

void checkCursor(const QDir& dir) {
  const QImage hand = load(dir, "hand.png", {32, 32});
  if (hand.isNull()) return;
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

// The sharp picture is the same drawing as the plain one: shrunk to the plain size, it differs
// from it by a few levels on average (a different picture differs by tens).
void checkSameDrawing(const QDir& dir, const QString& base) {
  const QImage plain =
      QImage(dir.filePath(fileOf(base, 1))).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage sharp = QImage(dir.filePath(fileOf(base, 2)));
  if (plain.isNull() || sharp.size() != plain.size() * 2) return;
  const QImage shrunk = sharp.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                            .scaled(plain.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  double sum = 0;
  for (int y = 0; y < plain.height(); ++y)
    for (int x = 0; x < plain.width(); ++x) {
      const QRgb a = plain.pixel(x, y);
      const QRgb b = shrunk.pixel(x, y);
      sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
             std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
    }
  const double mean = sum / (4.0 * plain.width() * plain.height());
  expect(mean < 6,
         QStringLiteral("%1 and its @2x are one drawing (mean difference %2)").arg(base).arg(mean));
}

void checkResourceList(const QDir& dir, const QStringList& bases) {
  QFile qrc(dir.filePath("resources.qrc"));
  expect(qrc.open(QIODevice::ReadOnly), "resources.qrc opens");
  const QString text = QString::fromUtf8(qrc.readAll());
  expect(text.contains(QStringLiteral("<qresource prefix=\"/res\">")), "resources use prefix /res");
  QSet<QString> listed;
  const QRegularExpression file(QStringLiteral("<file>([^<]+)</file>"));
  for (auto it = file.globalMatch(text); it.hasNext();) listed.insert(it.next().captured(1));
  QStringList wanted{"hand.png"};
  for (const QString& base : bases) wanted << fileOf(base, 1) << fileOf(base, 2);
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
  for (int scale : {1, 2}) {
    checkInstrumentStrip(dir, scale);
    checkToolbar(dir, scale);
    checkKeyMarks(dir, scale);
    checkPedal(dir, scale);
    checkIconsAndSplash(dir, scale);
  }
  checkCursor(dir);
  const QStringList bases = {"splash",     "instruments", "toolbar",    "keymarks",   "pedal",
                             "tonvale-16", "tonvale-32",  "tonvale-48", "tonvale-256"};
  for (const QString& base : bases) checkSameDrawing(dir, base);
  checkResourceList(dir, bases);
  if (failures == 0) std::printf("pictures: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
