// The recording, its playback and its file, wired into the main window: the
// transport commands and buttons, the playback scheduler's handovers, the
// file commands with their dialogs and questions, the save question before
// the window closes or the session ends, the journal that keeps an unsaved
// take through a crash, About and help.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "files/document.h"
#include "files/take_journal.h"
#include "help/help_launcher.h"
#include "record/clock.h"
#include "record/event_lists.h"
#include "record/playback_scheduler.h"
#include "record/playback_timer.h"
#include "record/transport.h"

class QSessionManager;

namespace tonvale {

class FileDialogs;
class MainWindow;
class Notices;

class RecordingSession : public QObject, private TransportView, private DocumentView {
  Q_OBJECT

 public:
  // Attaches itself to a created window: its commands 1280..1296, the
  // recorder of its key handler, its close question and its destruction.
  // Everything is borrowed; the window must outlive the session. While a
  // take is unsaved, `journal` (if any) keeps it.
  RecordingSession(MainWindow& window, Notices& notices, FileDialogs& dialogs,
                   MillisecondClock& clock, PlaybackTimer& timer, TakeJournal* journal = nullptr);
  // Stops playback and detaches from the window.
  ~RecordingSession() override;
  RecordingSession(const RecordingSession&) = delete;
  RecordingSession& operator=(const RecordingSession&) = delete;

  // The file named on the command line, while the window is being created.
  void LoadFromCommandLine(std::string_view text);
  // Instead: the take of a journal an earlier run left; `left` (held) goes
  // once the take is in this run's journal.
  void LoadRecovered(RecordingFile&& take, FileHandle left);

  // How often what was recorded is handed to the journal.
  static constexpr int kJournalHandOverMs = 250;

  // Commands 1280..1296 as the window hands them over.
  void OnCommand(int id);

  // The session may end: nothing unsaved, or the save question was not
  // cancelled.
  bool MayEndSession() { return files_.MayEndSession(); }

  // Playback of the recording runs (the transport is in its playing state).
  bool Playing() const { return transport_.state() == TransportState::kPlaying; }
  // Told just before playback starts, once or in a loop.
  void SetPlaybackStartListener(std::function<void()> listener) {
    on_playback_start_ = std::move(listener);
  }

  const RecordingList& Recording() const { return recording_; }
  const PlaybackList& Playback() const { return playback_; }
  const DocumentState& Document() const { return doc_; }
  const PlaybackScheduler& Scheduler() const { return scheduler_; }
  HelpLauncher& Help() { return help_; }

 private:
  // TransportView
  void EnableMenuItem(std::int32_t command, bool enabled) override;
  void EnableButton(std::int32_t command, bool enabled) override;
  void ShowNotice(std::string_view text, std::string_view caption) override;
  void StartScheduler(bool loop) override;
  void StopScheduler() override;
  // Both views
  void ShowError(std::string_view text, std::string_view caption) override;
  void Repaint() override;
  // DocumentView
  std::optional<std::string> ChooseOpenFile(const FileDialogSetup& setup,
                                            const std::string& initial_path) override;
  std::optional<std::string> ChooseSaveFile(const FileDialogSetup& setup,
                                            const std::string& initial_path) override;
  std::optional<std::string> ChooseExportFile(const FileDialogSetup& setup,
                                              const std::string& initial_path) override;
  void ShowFileError(const std::string& text) override;
  SaveAnswer AskSaveQuestion(const std::string& text) override;
  void SetTitle(const std::string& title) override;
  void MoveKeyModeCheck(std::int32_t old_mode, std::int32_t new_mode) override;
  void SetAutoBassCheck(bool on) override;
  void ArmAutoplayTimer(int milliseconds) override;
  std::string Translate(const char* context, const char* text) override;

  std::optional<std::string> Choose(const FileDialogSetup& setup, const std::string& initial_path);
  void Dispatch(int id);
  void OnPlayEvent(std::uint64_t generation, std::uint32_t index);
  void OnPlayFinished(std::uint64_t generation);
  void OnCommitData(QSessionManager& manager);
  void ReleaseLists();
  void Detach();
  // The journal follows the take: started with a new one, fed while it is
  // unsaved, gone once nothing unsaved remains.
  void KeepJournal();
  void HandOverToJournal();
  JournalSettings CurrentJournalSettings();

  MainWindow& window_;
  Notices& notices_;
  FileDialogs& dialogs_;
  RecordingList recording_;
  PlaybackList playback_;
  DocumentState doc_;
  Transport transport_;
  FileCommands files_;
  PlaybackScheduler scheduler_;
  HelpLauncher help_;
  std::function<void()> on_playback_start_;
  TakeJournal* journal_;
  QTimer journal_timer_;
  std::size_t handed_ = 0;  // events of the take the journal has
  JournalSettings handed_settings_;
  bool new_take_ = false;
};

}  // namespace tonvale
