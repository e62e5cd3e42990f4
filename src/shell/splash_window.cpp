#include "shell/splash_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace tonvale {

namespace {
constexpr QSize kDefaultSplashSize(200, 200);
}

SplashWindow::SplashWindow(const QPixmap& picture, int duration_ms, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), picture_(picture) {
  setWindowTitle(QStringLiteral("Tonvale"));
  setCursor(Qt::WaitCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
  const QSize size =
      picture_.isNull() ? kDefaultSplashSize : picture_.deviceIndependentSize().toSize();
  QSize screen = size;
  if (const QScreen* s = QGuiApplication::primaryScreen()) screen = s->geometry().size();
  setGeometry(PlaceOnScreen(screen, size));
  timer_.setSingleShot(true);
  timer_.setInterval(duration_ms);
  connect(&timer_, &QTimer::timeout, this, &QWidget::close);
}

QRect SplashWindow::PlaceOnScreen(const QSize& screen, const QSize& picture) {
  return {(screen.width() - picture.width()) / 2, (screen.height() - picture.height()) / 2,
          picture.width(), picture.height()};
}

void SplashWindow::RunUntilClosed() {
  QEventLoop loop;
  connect(this, &SplashWindow::closed, &loop, &QEventLoop::quit);
  show();
  timer_.start();
  loop.exec();
}

void SplashWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!picture_.isNull()) painter.drawPixmap(0, 0, picture_);
  painter.setPen(Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SplashWindow::closeEvent(QCloseEvent* event) {
  timer_.stop();
  event->accept();
  emit closed();
}

int SplashDurationFromEnvironment() {
  bool ok = false;
  const int ms = qEnvironmentVariableIntValue("TONVALE_SPLASH_MS", &ok);
  return ok && ms >= 0 ? ms : kSplashMs;
}

}  // namespace tonvale
