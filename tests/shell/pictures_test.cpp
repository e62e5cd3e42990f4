// At scale 2 the window draws the pictures' twins in the plain ones' places.
#include <QLabel>
#include <QToolBar>

#include "help/about_box.h"
#include "help/link_label.h"
#include "perform/key_table.h"
#include "perform/keyboard_layout.h"
#include "practice/song_reader.h"
#include "shell/song_band.h"
#include "shell/splash_window.h"
#include "window_rig.h"

using tonvale::Pictures;

namespace {

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
                        {&sharp.pedal, &plain.pedal},
                        {&sharp.hint_mark, &plain.hint_mark}}) {
      QCOMPARE(s->devicePixelRatio(), 2.0);
      QCOMPARE(s->deviceIndependentSize(), QSizeF(p->size()));
    }
    QCOMPARE(sharp.background, plain.background);

    QVERIFY(rig.Show(1000, 700));
    QCOMPARE(rig.Client().grab().size(), rig.Client().size() * 2);
    const auto drawn = [&rig](int x, int y, int width, int height) {
      return Rgb(rig.Client().grab().toImage(), {x, y, width, height});
    };
    const auto twin = [](const char* name, int width, int height) {
      return Rgb(QImage(QStringLiteral(":/res/%1@2x.png").arg(name)), {0, 0, width, height});
    };
    // The piano, key A's cap, the same as a song's next key, the held pedal.
    const int picture_x = (rig.Client().width() - 171) / 2;
    QCOMPARE(drawn(picture_x * 2, 100, 342, 282), twin("instruments", 342, 282));
    const tonvale::WindowLayout& l = rig.Client().Layout();
    const tonvale::Rect key = tonvale::KeyCell(tonvale::kKeyTable[30], l.x0, l.y0);
    QCOMPARE(drawn(key.x * 2, key.y * 2, 8, 78), twin("keymarks", 8, 78));
    rig.Client().SetHintKey(30, 0);
    QCOMPARE(drawn(key.x * 2, key.y * 2, 8, 78), twin("hintmark", 8, 78));
    rig.Key(QEvent::KeyPress, Qt::Key_Space, 65, QStringLiteral(" "));
    const tonvale::Rect pedal = tonvale::PedalCell(l.x0, l.y0);
    QCOMPARE(drawn(pedal.x * 2, pedal.y * 2, pedal.width * 2, pedal.height * 2),
             twin("pedal", 456, 78));
    const QPixmap icon = rig.window->ToolBarActions()[0]->icon().pixmap(QSize(32, 32), 2.0);
    QCOMPARE(Rgb(icon.toImage(), {0, 0, 64, 64}), twin("toolbar", 64, 64));
    QCOMPARE(tonvale::SplashWindow(sharp.splash, 0).size(), QSize(200, 200));
    tonvale::LinkVisits visits{};
    tonvale::AboutBox box(nullptr, visits, [](const QUrl&) { return true; });
    const auto* picture = qobject_cast<QLabel*>(box.controls()[1]);
    QCOMPARE(picture->size(), QSize(200, 200));
    QCOMPARE(picture->pixmap().devicePixelRatio(), 2.0);
    // The link hand: its twin, the hot spot in logical pixels here.
    const QCursor hand = tonvale::LinkCursor();
    QCOMPARE(hand.pixmap().devicePixelRatio(), 2.0);
    QCOMPARE(hand.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
             QImage(QStringLiteral(":/res/hand@2x.png")).convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(hand.hotSpot(), tonvale::kHandHotSpot);
  }

  // The song band is drawn at scale 2, not enlarged: an enlarged copy has
  // flat 2 x 2 blocks.
  void songBandIsDrawnAtTheScreensScale() {
    const auto read = tonvale::ReadSongText(
        "title=T\n1=C 4/4\nq#1' q2 3 ~ 3 5, | 3[ q1 q2 q3 ] s4 s5 q6 6. q7 |\n");
    QVERIFY(std::holds_alternative<tonvale::Song>(read));
    const tonvale::Song& song = std::get<tonvale::Song>(read);
    tonvale::SongBand band;
    band.SetSong(&song, nullptr);
    band.resize(600, band.sizeHint().height());
    const QImage sharp = band.grab().toImage();
    QCOMPARE(sharp.size(), band.size() * 2);
    QImage plain(band.size(), QImage::Format_ARGB32_Premultiplied);
    plain.fill(Qt::transparent);
    band.render(&plain);
    const QImage shrunk =
        sharp.convertToFormat(QImage::Format_ARGB32_Premultiplied)
            .scaled(plain.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    double difference = 0;
    int detailed = 0;
    for (int y = 0; y < plain.height(); ++y)
      for (int x = 0; x < plain.width(); ++x) {
        difference += std::abs(qGray(plain.pixel(x, y)) - qGray(shrunk.pixel(x, y)));
        const QRgb a = sharp.pixel(2 * x, 2 * y);
        detailed += a != sharp.pixel(2 * x + 1, 2 * y) || a != sharp.pixel(2 * x, 2 * y + 1) ||
                    a != sharp.pixel(2 * x + 1, 2 * y + 1);
      }
    QVERIFY2(difference / (plain.width() * plain.height()) < 6, "one drawing at both scales");
    QVERIFY2(detailed > 500, qPrintable(QString::number(detailed)));
  }
};

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  PicturesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "pictures_test.moc"
