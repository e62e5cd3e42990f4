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

  void closesItselfAfterItsTime() {
    QPixmap picture(200, 200);
    picture.fill(Qt::blue);
    tonvale::SplashWindow splash(picture, 150);
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash.cursor().shape(), Qt::WaitCursor);
    QCOMPARE(splash.size(), QSize(200, 200));
    QCOMPARE(splash.windowTitle(), QStringLiteral("Tonvale"));
    QElapsedTimer clock;
    clock.start();
    splash.RunUntilClosed();
    QVERIFY(clock.elapsed() >= 140);
    QVERIFY(!splash.isVisible());
  }

  void drawsThePictureInsideABorder() {
    QPixmap picture(200, 200);
    picture.fill(Qt::blue);
    tonvale::SplashWindow splash(picture, 10000);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    const QImage shot = splash.grab().toImage();
    QCOMPARE(shot.pixelColor(100, 100), QColor(Qt::blue));
    QCOMPARE(shot.pixelColor(0, 100), QColor(Qt::black));
    QCOMPARE(shot.pixelColor(199, 199), QColor(Qt::black));
    // Closed early: gone at once.
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(20, &splash, &QWidget::close);
    splash.RunUntilClosed();
    QVERIFY(clock.elapsed() < 5000);
  }

  void missingPictureStillMakesAWindow() {
    tonvale::SplashWindow splash(QPixmap(), 30);
    QCOMPARE(splash.size(), QSize(200, 200));
    splash.RunUntilClosed();
    QVERIFY(!splash.isVisible());
  }
};

QTEST_MAIN(SplashWindowTest)
#include "splash_window_test.moc"
