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
#include "shell/x11_auto_repeat.h"

int main(int argc, char** argv) {
  using namespace tonvale;
  // Without a display Qt would abort with a page of plugin messages.
  if (const std::optional<std::string> message = MissingDisplayMessage(ProcessEnvironment)) {
    std::fprintf(stderr, "%s\n", message->c_str());
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tonvale"));
  UseDetectableAutoRepeat();
  // The splash must not end the program when it closes.
  QApplication::setQuitOnLastWindowClosed(false);
  TerminationSignals terminate;

  const Pictures pictures = LoadPictures();
  if (!pictures.icon.isNull()) QApplication::setWindowIcon(pictures.icon);

  // The soundfont loads while the splash is up, so the window opens at once.
  SystemMidiOut out;
  out.PreloadInBackground();

  // A termination signal ends whatever stage the program is in, with 0.
  bool ended = false;
  QWidget* stage = nullptr;
  QObject::connect(&terminate, &TerminationSignals::requested, [&ended, &stage] {
    ended = true;
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
    if (stage != nullptr) stage->close();
  });

  {
    SplashWindow splash(pictures.splash, SplashDurationFromEnvironment());
    stage = &splash;
    splash.RunUntilClosed();
    stage = nullptr;
  }
  if (ended) return 0;

  QtNotices notices;
  MainWindow window(out, pictures, notices);
  if (!window.Create() || ended) return 0;
  QApplication::setQuitOnLastWindowClosed(true);
  stage = &window;
  window.ShowOnScreen();
  QApplication::exec();
  return 0;
}
