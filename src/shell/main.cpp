// Tonvale: the PC keyboard as a musical instrument.
#include <QApplication>
#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "devices/soundfont_search.h"
#include "devices/system_midi_out.h"
#include "files/document.h"
#include "files/safe_write.h"
#include "files/state_folder.h"
#include "files/take_journal.h"
#include "practice/songs_folder.h"
#include "record/clock.h"
#include "record/playback_timer.h"
#include "shell/command_line.h"
#include "shell/display_check.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/notices.h"
#include "shell/pictures.h"
#include "shell/recording_session.h"
#include "shell/recovery.h"
#include "shell/song_practice.h"
#include "shell/splash_window.h"
#include "shell/termination_signals.h"
#include "shell/ui_language.h"
#include "shell/x11_auto_repeat.h"

int main(int argc, char** argv) {
  using namespace tonvale;
  // The words as the system gave them: a file name need not be valid UTF-8.
  const std::vector<std::string> words(argv + std::min(argc, 1), argv + argc);
  const CommandLine command_line = ParseCommandLine(words);
  switch (command_line.action) {
    case CommandLine::Action::kHelp:
      std::fputs(HelpText().c_str(), stdout);
      return 0;
    case CommandLine::Action::kVersion:
      std::printf("tonvale %s\n", TONVALE_VERSION);
      return 0;
    case CommandLine::Action::kUsageError:
      std::fprintf(stderr, "tonvale: %s\n%s", command_line.error.c_str(), UsageText().c_str());
      return 2;
    case CommandLine::Action::kRun:
      break;
  }
  // Without a display Qt would abort with a page of plugin messages.
  if (const std::optional<std::string> message = MissingDisplayMessage(ProcessEnvironment)) {
    std::fprintf(stderr, "%s\n", message->c_str());
    return 0;
  }
  // Qt takes its own options (-display, -platform, ...) from among the file
  // words; what it leaves names the file.
  std::vector<char*> qt_argv{argv[0]};
  for (const std::string& word : command_line.file_words) {
    qt_argv.push_back(const_cast<char*>(word.c_str()));
  }
  qt_argv.push_back(nullptr);
  int qt_argc = static_cast<int>(qt_argv.size()) - 1;
  QApplication app(qt_argc, qt_argv.data());
  const std::vector<std::string> arguments(qt_argv.begin() + 1, qt_argv.begin() + qt_argc);
  QApplication::setApplicationName(QStringLiteral("Tonvale"));
  // Wayland's app id: the desktop entry's name, for the desktop's icon and launcher.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tonvale.Tonvale"));
  UseDetectableAutoRepeat();
  // The window speaks the desktop's language: Chinese, or else English.
  const UiTranslations translations(ChooseUiLanguage(QLocale::system().uiLanguages()));
  // The splash must not end the program when it closes.
  QApplication::setQuitOnLastWindowClosed(false);
  TerminationSignals terminate;

  const Pictures pictures = LoadPictures();
  if (!pictures.icon.isNull()) QApplication::setWindowIcon(pictures.icon);

  // The soundfont loads while the splash is up, so the window opens at once.
  DeviceSearch search = DeviceSearch::FromEnvironment();
  search.audio.latency_ms = command_line.latency_ms;
  search.chosen_soundfont = ChosenSoundfont(command_line.soundfont);
  SystemMidiOut out(search);
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
  // What an earlier run left unsaved comes first, before the window shows
  // and before any file named on the command line.
  const std::filesystem::path state_folder = StateFolder();
  std::optional<RecoveredTake> recovered =
      OfferLeftovers(notices, state_folder, [&ended] { return ended; });
  if (ended) return 0;

  TakeJournal journal(state_folder);
  QtFileDialogs dialogs;
  SteadyMillisecondClock clock;
  SteadyPlaybackTimer timer;
  MainWindow window(out, pictures, notices);
  if (!window.Create() || ended) return 0;
  RecordingSession session(window, notices, dialogs, clock, timer, &journal);
  // Listening to a song has a scheduler, and so a timer, of its own.
  SteadyPlaybackTimer listen_timer;
  SongPractice practice(
      window, session, notices, dialogs, clock, listen_timer,
      FindSongsFolder(SongsFolderCandidates(
          QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString())));
  // Still part of the window's creation: the output was opened or failed.
  const std::string file = CommandLineText(arguments);
  const bool song = OpensAsSong(PathFromUtf8(file));
  if (recovered) {
    session.LoadRecovered(std::move(recovered->take), std::move(recovered->journal));
    // A song takes nothing from the recovered take; a recording would replace it.
    if (song) {
      practice.OpenFromCommandLine(file);
    } else if (!file.empty()) {
      std::fprintf(stderr,
                   "tonvale: %s was not loaded: the take recovered from the last run is open "
                   "instead\n",
                   file.c_str());
    }
  } else if (song) {
    session.LoadFromCommandLine({});
    practice.OpenFromCommandLine(file);
  } else {
    session.LoadFromCommandLine(file);
  }
  if (ended) return 0;
  // The help window does not keep the program alive.
  QObject::connect(&window, &MainWindow::Closed, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  QApplication::setQuitOnLastWindowClosed(true);
  stage = &window;
  window.ShowOnScreen();
  if (const char* report = std::getenv("TONVALE_REPORT_READY");
      report != nullptr && std::strcmp(report, "1") == 0) {
    std::fprintf(stderr, "tonvale: ready\n");
    std::fflush(stderr);
  }
  QApplication::exec();
  return 0;
}
