// The splash window: the splash picture, frameless with a thin border,
// centred on the screen, with the wait cursor; it closes itself after five
// seconds.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace tonvale {

inline constexpr int kSplashMs = 5000;

class SplashWindow : public QWidget {
  Q_OBJECT

 public:
  SplashWindow(const QPixmap& picture, int duration_ms, QWidget* parent = nullptr);

  // Centred on a screen of this size; the window is as big as the picture.
  static QRect PlaceOnScreen(const QSize& screen, const QSize& picture);

  // Shows the window and returns once it has closed (timer or close).
  void RunUntilClosed();

 signals:
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QPixmap picture_;
  QTimer timer_;
};

// TONVALE_SPLASH_MS when set to a whole number of milliseconds (tests keep
// the splash short with it), else five seconds.
int SplashDurationFromEnvironment();

}  // namespace tonvale
