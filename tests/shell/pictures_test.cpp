// On a screen of two device pixels per logical pixel the window draws the
// pictures drawn at twice the size, pixel for pixel, in the same logical
// places as the plain ones.
#include <QLabel>
#include <QToolBar>

#include "help/about_box.h"
#include "perform/key_table.h"
#include "perform/keyboard_layout.h"
#include "shell/splash_window.h"
#include "window_rig.h"

using tonvale::Pictures;

namespace {

// A part of an image in its own pixels, whatever its device pixel ratio.
QImage Rgb(const QImage& image, const QRect& part) {
  QImage rgb = image.copy(part).convertToFormat(QImage::Format_RGB32);
  rgb.setDevicePixelRatio(1);
  return rgb;
}

}  // namespace

class PicturesTest : public QObject {
  Q_OBJECT

 private slots:
  void sharpPicturesInTheirLogicalPlaces() {
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
    const Pictures plain = tonvale::LoadPictures(1.0);
    tonvale::test::WindowRig rig;  // loads for this screen
    const Pictures& sharp = rig.pictures;
    for (auto [s, p] : {std::pair{&sharp.splash, &plain.splash},
                        {&sharp.instruments, &plain.instruments},
                        {&sharp.toolbar, &plain.toolbar},
                        {&sharp.key_marks, &plain.key_marks},
                        {&sharp.pedal, &plain.pedal}}) {
      QCOMPARE(s->devicePixelRatio(), 2.0);
      QCOMPARE(s->deviceIndependentSize(), QSizeF(p->size()));
    }
    QCOMPARE(sharp.background, plain.background);

    QVERIFY(rig.Show(1000, 700));
    const QImage shot = rig.Client().grab().toImage();
    QCOMPARE(shot.size(), rig.Client().size() * 2);
    // The piano (picture 0), and the left edge of key A's cap, beside its label.
    const QImage strip(QStringLiteral(":/res/instruments@2x.png"));
    const int picture_x = (rig.Client().width() - 171) / 2;
    QCOMPARE(Rgb(shot, {picture_x * 2, 100, 342, 282}), Rgb(strip, {0, 0, 342, 282}));
    const tonvale::Rect key = tonvale::KeyCell(tonvale::kKeyTable[30], rig.Client().Layout().x0,
                                               rig.Client().Layout().y0);
    QCOMPARE(Rgb(shot, {key.x * 2, key.y * 2, 8, 78}),
             Rgb(QImage(QStringLiteral(":/res/keymarks@2x.png")), {0, 0, 8, 78}));
    // The held pedal's mark.
    rig.Key(QEvent::KeyPress, Qt::Key_Space, 65, QStringLiteral(" "));
    const tonvale::Rect pedal =
        tonvale::PedalCell(rig.Client().Layout().x0, rig.Client().Layout().y0);
    QCOMPARE(Rgb(rig.Client().grab().toImage(),
                 {pedal.x * 2, pedal.y * 2, pedal.width * 2, pedal.height * 2}),
             Rgb(QImage(QStringLiteral(":/res/pedal@2x.png")), {0, 0, 456, 78}));
    // The first tool-bar icon, the splash and the About box's picture.
    const QPixmap icon = rig.window->ToolBarActions()[0]->icon().pixmap(QSize(32, 32), 2.0);
    QCOMPARE(Rgb(icon.toImage(), {0, 0, 64, 64}),
             Rgb(QImage(QStringLiteral(":/res/toolbar@2x.png")), {0, 0, 64, 64}));
    QCOMPARE(tonvale::SplashWindow(sharp.splash, 0).size(), QSize(200, 200));
    tonvale::LinkVisits visits{};
    tonvale::AboutBox box(nullptr, visits, [](const QUrl&) { return true; });
    const auto* picture = qobject_cast<QLabel*>(box.controls()[1]);
    QCOMPARE(picture->size(), QSize(200, 200));
    QCOMPARE(picture->pixmap().devicePixelRatio(), 2.0);
  }
};

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  PicturesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "pictures_test.moc"
