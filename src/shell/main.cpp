// Tonvale: the PC keyboard as a musical instrument.
#include <QApplication>
#include <cstdio>

#include "devices/system_midi_out.h"
#include "shell/display_check.h"
#include "shell/main_window.h"
#include "shell/notices.h"
#include "shell/pictures.h"
#include "shell/splash_window.h"
#include "shell/termination_signals.h"

int main(int argc, char** argv) {
  using namespace tonvale;
  // Without a display Qt would abort with a page of plugin messages.
  if (const std::optional<std::string> message = MissingDisplayMessage(ProcessEnvironment)) {
    std::fprintf(stderr, "%s\n", message->c_str());
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tonvale"));
  // The splash must not end the program when it closes.
  QApplication::setQuitOnLastWindowClosed(false);
  TerminationSignals terminate;

  const Pictures pictures = LoadPictures();
  if (!pictures.icon.isNull()) QApplication::setWindowIcon(pictures.icon);

  // The soundfont loads while the splash is up, so the window opens at once.
  SystemMidiOut out;
  out.PreloadInBackground();
  bool ended = false;
  {
    SplashWindow splash(pictures.splash, SplashDurationFromEnvironment());
    QObject::connect(&terminate, &TerminationSignals::requested, &splash, [&] {
      ended = true;
      splash.close();
    });
    splash.RunUntilClosed();
  }
  if (ended) return 0;

  QtNotices notices;
  MainWindow window(out, pictures, notices);
  if (!window.Create()) return 0;
  QApplication::setQuitOnLastWindowClosed(true);
  QObject::connect(&terminate, &TerminationSignals::requested, &window, &QWidget::close);
  window.ShowOnScreen();
  QApplication::exec();
  return 0;
}
