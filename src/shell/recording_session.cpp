#include "shell/recording_session.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <span>
#include <utility>

#include "help/about_box.h"
#include "help/help_folder.h"
#include "record/command_ids.h"
#include "record/play_event.h"
#include "shell/core_texts.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/notices.h"
#include "shell/ui_language.h"
#include "shell/window_hooks.h"

namespace tonvale {

namespace {

// A core text as a view gives it, in the window's language.
QString Shown(const char* context, std::string_view text) {
  return CoreText(context, std::string(text).c_str());
}

const QString kFileCaption = QString::fromUtf8(kFileMessageCaption);

}  // namespace

RecordingSession::RecordingSession(MainWindow& window, Notices& notices, FileDialogs& dialogs,
                                   MillisecondClock& clock, PlaybackTimer& timer,
                                   TakeJournal* journal)
    : window_(window),
      notices_(notices),
      dialogs_(dialogs),
      transport_(*this, window.Inst(), recording_, playback_, doc_.modified_flag, clock),
      files_(*this, doc_, window.Inst().settings, recording_, playback_, transport_),
      // The scheduler's thread only queues work for the window thread: it
      // must never wait for it, since the window thread may be joining it.
      scheduler_(
          timer,
          [this](std::uint64_t generation, std::uint32_t index) {
            QMetaObject::invokeMethod(
                this, [this, generation, index] { OnPlayEvent(generation, index); },
                Qt::QueuedConnection);
          },
          [this](std::uint64_t generation) {
            QMetaObject::invokeMethod(
                this, [this, generation] { OnPlayFinished(generation); }, Qt::QueuedConnection);
          }),
      // The pages of the language the window speaks.
      help_([] {
        return FindHelpFolder(HelpFolderCandidates(HelpLanguageFolder(UiLanguageInUse())));
      }),
      journal_(journal) {
  window_.SetOwnedCommandHandler([this](int id) { OnCommand(id); });
  window_.SetCloseQuestion([this] {
    if (!files_.MayClose()) return false;
    // Saved, or the player said to throw it away.
    if (journal_ != nullptr && journal_->Journaling()) journal_->Discard();
    journal_timer_.stop();
    return true;
  });
  // Playback ends before the output closes and before any list goes.
  window_.SetStopHandler([this] { scheduler_.Stop(); });
  window_.SetDestroyHandler([this] { ReleaseLists(); });
  window_.Hooks().SetRecorder(
      [this, &clock](std::int32_t message, std::uint32_t key_data, std::int32_t shift) {
        RecordKeyEvent(recording_, doc_.modified_flag, clock, message, key_data, shift);
      });
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    connect(app, &QGuiApplication::commitDataRequest, this, &RecordingSession::OnCommitData);
  }
  journal_timer_.setInterval(kJournalHandOverMs);
  connect(&journal_timer_, &QTimer::timeout, this, &RecordingSession::HandOverToJournal);
}

RecordingSession::~RecordingSession() {
  journal_timer_.stop();
  scheduler_.Stop();
  Detach();
}

void RecordingSession::Detach() {
  window_.SetOwnedCommandHandler(nullptr);
  window_.SetCloseQuestion(nullptr);
  window_.SetStopHandler(nullptr);
  window_.SetDestroyHandler(nullptr);
  window_.Hooks().SetRecorder(nullptr);
}

void RecordingSession::LoadFromCommandLine(std::string_view text) {
  files_.LoadFromCommandLine(text);
  KeepJournal();
}

void RecordingSession::LoadRecovered(RecordingFile&& take, FileHandle left) {
  files_.LoadRecovered(std::move(take));
  if (journal_ == nullptr) return;
  // The earlier journal goes only once this run's holds the take.
  journal_->Restart(recording_.recording_events, CurrentJournalSettings(), std::move(left));
  handed_ = recording_.recording_events.size();
  handed_settings_ = CurrentJournalSettings();
  journal_timer_.start();
}

JournalSettings RecordingSession::CurrentJournalSettings() {
  const Settings& settings = window_.Inst().settings;
  return {settings.key_mode, settings.auto_bass != 0};
}

void RecordingSession::KeepJournal() {
  if (journal_ == nullptr) return;
  const bool unsaved = recording_.recording_flag || doc_.modified_flag;
  if (!unsaved) {
    if (journal_->Journaling()) journal_->Discard();
    journal_timer_.stop();
    new_take_ = false;
    return;
  }
  if (std::exchange(new_take_, false) || !journal_->Journaling()) {
    handed_settings_ = CurrentJournalSettings();
    journal_->Restart(recording_.recording_events, handed_settings_);
    handed_ = recording_.recording_events.size();
  } else {
    HandOverToJournal();
  }
  if (!journal_timer_.isActive()) journal_timer_.start();
}

void RecordingSession::HandOverToJournal() {
  if (journal_ == nullptr || !journal_->Journaling()) return;
  const std::vector<PerformanceEvent>& events = recording_.recording_events;
  const JournalSettings settings = CurrentJournalSettings();
  if (events.size() < handed_) {
    // Only a new take shortens the list, and that restarts the journal.
    journal_->Restart(events, settings);
  } else if (events.size() > handed_ || settings != handed_settings_) {
    journal_->Append(std::span(events).subspan(handed_), settings);
  }
  handed_ = events.size();
  handed_settings_ = settings;
}

void RecordingSession::OnCommand(int id) {
  const bool was_recording = recording_.recording_flag;
  Dispatch(id);
  if (!was_recording && recording_.recording_flag) new_take_ = true;
  KeepJournal();
}

void RecordingSession::Dispatch(int id) {
  switch (id) {
    case IDM_HELP:
      help_.Open();
      return;
    case IDM_ABOUT:
      ShowAboutBox(&window_);
      return;
    case IDM_RECORD_START:
    case IDM_RECORD_STOP:
    case IDM_PLAY:
    case IDM_PLAY_LOOP:
    case IDM_PLAY_STOP:
      transport_.HandleCommand(id);
      return;
    default:
      files_.HandleCommand(id);
      return;
  }
}

void RecordingSession::OnPlayEvent(std::uint64_t generation, std::uint32_t index) {
  // A handover queued before a stop is dropped: stop is final.
  if (scheduler_.IsCurrent(generation)) HandlePlayEvent(window_.Inst(), playback_, index);
}

void RecordingSession::OnPlayFinished(std::uint64_t generation) {
  // Queued after the last event's handover, so that event sounds first.
  if (scheduler_.IsCurrent(generation)) transport_.HandleCommand(IDM_PLAY_STOP);
}

void RecordingSession::OnCommitData(QSessionManager& manager) {
  if (!manager.allowsInteraction()) {
    // Unable to ask: an unsaved recording keeps the session from ending.
    if (doc_.modified_flag) manager.cancel();
    return;
  }
  const bool may_end = MayEndSession();
  manager.release();
  if (!may_end) manager.cancel();
  // A take saved on the way needs its journal no more; one the player chose
  // not to save keeps it, since the session may still go on.
  KeepJournal();
}

void RecordingSession::ReleaseLists() {
  ReleasePlayback(playback_);
  recording_.recording_events.clear();
  recording_.recording_events.shrink_to_fit();
  recording_.recording_flag = false;
}

void RecordingSession::EnableMenuItem(std::int32_t command, bool enabled) {
  window_.SetMenuItemEnabled(command, enabled);
}

void RecordingSession::EnableButton(std::int32_t command, bool enabled) {
  window_.SetButtonEnabled(command, enabled);
}

void RecordingSession::ShowNotice(std::string_view text, std::string_view caption) {
  notices_.Show(&window_, Shown("Transport", text), Shown("Transport", caption),
                Notices::Icon::kNone);
}

void RecordingSession::ShowError(std::string_view text, std::string_view caption) {
  // Only the playback copy's memory shortage comes here.
  notices_.Show(nullptr, Shown("EventLists", text), Shown("EventLists", caption),
                Notices::Icon::kNone);
}

void RecordingSession::StartScheduler(bool loop) {
  if (on_playback_start_) on_playback_start_();
  scheduler_.Start(playback_.playback_events, loop);
}

void RecordingSession::StopScheduler() {
  scheduler_.Stop();
}

void RecordingSession::Repaint() {
  window_.Repaint();
}

std::optional<std::string> RecordingSession::Choose(const FileDialogSetup& setup,
                                                    const std::string& initial_path) {
  const std::optional<QString> path =
      dialogs_.Choose(&window_, setup, QString::fromStdString(initial_path));
  if (!path) return std::nullopt;
  return path->toStdString();
}

std::optional<std::string> RecordingSession::ChooseOpenFile(const FileDialogSetup& setup,
                                                            const std::string& initial_path) {
  return Choose(setup, initial_path);
}

std::optional<std::string> RecordingSession::ChooseSaveFile(const FileDialogSetup& setup,
                                                            const std::string& initial_path) {
  return Choose(setup, initial_path);
}

std::optional<std::string> RecordingSession::ChooseExportFile(const FileDialogSetup& setup,
                                                              const std::string& initial_path) {
  return Choose(setup, initial_path);
}

void RecordingSession::ShowFileError(const std::string& text) {
  notices_.Beep(Notices::Icon::kWarning);
  notices_.Show(&window_, QString::fromStdString(text), kFileCaption, Notices::Icon::kWarning);
}

SaveAnswer RecordingSession::AskSaveQuestion(const std::string& text) {
  const QMessageBox::StandardButton answer =
      notices_.Show(&window_, QString::fromStdString(text), kFileCaption, Notices::Icon::kQuestion,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  switch (answer) {
    case QMessageBox::Yes:
      return SaveAnswer::kYes;
    case QMessageBox::No:
      return SaveAnswer::kNo;
    default:
      return SaveAnswer::kCancel;  // Cancel, or the box closed
  }
}

void RecordingSession::SetTitle(const std::string& title) {
  window_.setWindowTitle(QString::fromStdString(title));
}

void RecordingSession::MoveKeyModeCheck(std::int32_t old_mode, std::int32_t new_mode) {
  window_.SetMenuItemChecked(old_mode, false);
  window_.SetMenuItemChecked(new_mode, true);
}

void RecordingSession::SetAutoBassCheck(bool on) {
  window_.SetMenuItemChecked(IDM_AUTO_BASS, on);
}

void RecordingSession::ArmAutoplayTimer(int milliseconds) {
  window_.ArmAutoplay(milliseconds);
}

std::string RecordingSession::Translate(const char* context, const char* text) {
  return CoreText(context, text).toStdString();
}

}  // namespace tonvale
