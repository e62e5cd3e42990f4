// The splash window: where it sits, how it looks and when it goes.
#include "shell/splash_window.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QTest>

class SplashWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void centredOnTheScreen() {
    QCOMPARE(tonvale::SplashWindow::PlaceOnScreen({1280, 1024}, {200, 200}),
             QRect(540, 412, 200, 200));
    QCOMPARE(tonvale::SplashWindow::PlaceOnScreen({1365, 767}, {200, 200}),
             QRect(582, 283, 200, 200));
    QCOMPARE(tonvale::SplashWindow::PlaceOnScreen({150, 100}, {200, 200}),
             QRect(-25, -50, 200, 200));
  }

  void drawsThePictureAndClosesItselfAfterItsTime() {
    QPixmap picture(200, 200);
    picture.fill(Qt::blue);
    tonvale::SplashWindow splash(picture, 150);
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash.cursor().shape(), Qt::WaitCursor);
    QCOMPARE(splash.windowTitle(), QStringLiteral("Tonvale"));
    QElapsedTimer clock;
    clock.start();
    splash.RunUntilClosed();
    QVERIFY(clock.elapsed() >= 140);
    QVERIFY(!splash.isVisible());

    // The picture inside a black border; closed early, gone at once.
    tonvale::SplashWindow shown(picture, 10000);
    shown.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown));
    const QImage shot = shown.grab().toImage();
    QCOMPARE(shot.pixelColor(100, 100), QColor(Qt::blue));
    QCOMPARE(shot.pixelColor(0, 100), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(199, 199), QColor(Qt::black));
    clock.restart();
    QTimer::singleShot(20, &shown, &QWidget::close);
    shown.RunUntilClosed();
    QVERIFY(clock.elapsed() < 5000);

    // A missing picture still makes a window of the same size.
    tonvale::SplashWindow missing(QPixmap(), 30);
    QCOMPARE(missing.size(), QSize(200, 200));
    missing.RunUntilClosed();
    QVERIFY(!missing.isVisible());
  }
};

QTEST_MAIN(SplashWindowTest)
#include "splash_window_test.moc"
