// Draws every picture of the program into a folder (normally res/):
//   tonvale-draw-pictures <folder>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>

#include "pictures.h"

using namespace tonvale::pictures;

namespace {

bool save(const QImage& image, const QDir& dir, const QString& name) {
  const QString path = dir.filePath(name);
  if (!image.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing needs no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tonvale-draw-pictures <folder>\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.exists()) {
    std::fprintf(stderr, "no such folder: %s\n", argv[1]);
    return 2;
  }
  bool ok = true;
  // Each picture also at twice the size, for screens with two device pixels per logical pixel
  // ("name@2x.png", the name Qt gives such pictures).
  for (int scale : {1, 2}) {
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@2x");
    const auto name = [&suffix](const QString& base) { return base + suffix + ".png"; };
    ok = save(drawSplashPicture(scale), dir, name("splash")) && ok;
    ok = save(drawInstrumentStrip(scale), dir, name("instruments")) && ok;
    ok = save(drawToolbarStrip(scale), dir, name("toolbar")) && ok;
    ok = save(drawKeyMarks(scale), dir, name("keymarks")) && ok;
    ok = save(drawPedalMark(scale), dir, name("pedal")) && ok;
    for (int size : {16, 32, 48, 256})
      ok = save(drawProgramIcon(size, scale), dir, name(QStringLiteral("tonvale-%1").arg(size))) &&
           ok;
  }
  ok = save(drawHandCursor(), dir, "hand.png") && ok;
  return ok ? 0 : 1;
}
