#include "shell/song_practice.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <variant>

#include "files/safe_write.h"
#include "perform/midi_messages.h"
#include "practice/song_events.h"
#include "practice/song_file.h"
#include "record/command_ids.h"
#include "record/play_event.h"
#include "shell/client_area.h"
#include "shell/core_texts.h"
#include "shell/file_dialogs.h"
#include "shell/main_window.h"
#include "shell/notices.h"
#include "shell/practice_commands.h"
#include "shell/recording_session.h"
#include "shell/song_band.h"
#include "shell/window_hooks.h"

namespace tonvale {

namespace fs = std::filesystem;

namespace {

// Often enough that play-along's marks move with the music.
constexpr int kTickMs = 15;

const QString kCaption = QStringLiteral("QV");

bool HasTextName(const fs::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
  return ext == ".txt";
}

QString SongErrorText(const SongError& error, const QString& name) {
  // Translated before the name, line and word go in, as a file error is.
  return QString::fromStdString(SongErrorMessage(
      error, name.toStdString(),
      [](const char* context, const char* text) { return CoreText(context, text).toStdString(); }));
}

}  // namespace

bool OpensAsSong(const fs::path& path) {
  if (path.empty() || IsRecordingFile(path)) return false;
  std::error_code ignored;
  return HasTextName(path) || fs::is_regular_file(path, ignored);
}

SongPractice::SongPractice(MainWindow& window, RecordingSession& recording, Notices& notices,
                           FileDialogs& dialogs, MillisecondClock& clock, PlaybackTimer& timer,
                           fs::path songs_folder)
    : window_(window),
      recording_(recording),
      notices_(notices),
      dialogs_(dialogs),
      clock_(clock),
      songs_folder_(std::move(songs_folder)),
      // As the recording's scheduler: its thread only queues work for the
      // window thread, which may be joining it.
      listen_(
          timer,
          [this](std::uint64_t generation, std::uint32_t index) {
            QMetaObject::invokeMethod(
                this, [this, generation, index] { OnListenEvent(generation, index); },
                Qt::QueuedConnection);
          },
          [this](std::uint64_t generation) {
            QMetaObject::invokeMethod(
                this, [this, generation] { OnListenFinished(generation); }, Qt::QueuedConnection);
          }) {
  band_ = new SongBand;
  window_.Client().SetSongBand(band_);
  tick_.setInterval(kTickMs);
  connect(&tick_, &QTimer::timeout, this, &SongPractice::OnTick);
  window_.SetPracticeCommandHandler([this](int id) { OnCommand(id); });
  // Before playback stops and the output closes: nothing listening played
  // may outlive the window.
  window_.SetPracticeStopHandler([this] { End(); });
  window_.Hooks().SetPressListener(
      [this](std::uint32_t scan_code, std::int32_t shift) { OnKeyPress(scan_code, shift); });
  recording_.SetPlaybackStartListener([this] { End(); });
  UpdateMenu();
}

SongPractice::~SongPractice() {
  End();
  Detach();
}

void SongPractice::Detach() {
  window_.SetPracticeCommandHandler(nullptr);
  window_.SetPracticeStopHandler(nullptr);
  window_.Hooks().SetPressListener(nullptr);
  recording_.SetPlaybackStartListener(nullptr);
}

void SongPractice::OnCommand(int id) {
  if (const std::optional<PracticeMode> mode = ModeOfCommand(id)) {
    ChooseMode(*mode);
    return;
  }
  if (const std::optional<int> speed = SpeedOfCommand(id)) {
    ChooseSpeed(*speed);
    return;
  }
  switch (id) {
    case IDM_SONG_OPEN: {
      // The songs that come with Tonvale first; then where the last one was.
      const fs::path start = !last_song_.empty()      ? last_song_
                             : !songs_folder_.empty() ? songs_folder_ / ""
                                                      : fs::path();
      const QByteArray filter = tr("简谱乐曲或录音").toUtf8();
      const FileDialogSetup setup{filter.constData(), "*.txt *.qvi", "txt", false, false, false};
      const std::optional<QString> chosen =
          dialogs_.Choose(&window_, setup, QFile::decodeName(start.string().c_str()));
      if (chosen)
        Open(fs::path(QFile::encodeName(*chosen).toStdString()), QFileInfo(*chosen).fileName());
      return;
    }
    case IDM_SONG_START:
      if (song_ != nullptr) Start();
      return;
    case IDM_SONG_STOP:
      Stop();
      return;
    case IDM_SONG_CLOSE:
      Close();
      return;
    default:
      return;
  }
}

bool SongPractice::Open(const fs::path& path, const QString& name) {
  SongReadResult read = ReadSongFile(path);
  if (const SongError* error = std::get_if<SongError>(&read)) {
    notices_.Beep(Notices::Icon::kWarning);
    notices_.Show(&window_, SongErrorText(*error, name), kCaption, Notices::Icon::kWarning);
    return false;
  }
  End();
  last_song_ = path;
  // The session holds the song by reference: the old pair goes together.
  band_->SetSong(nullptr, nullptr);
  session_.reset();
  song_ = std::make_unique<Song>(std::get<Song>(std::move(read)));
  session_ = std::make_unique<PracticeSession>(*song_);
  band_->SetSong(song_.get(), session_.get());
  window_.Client().ShowSongBand(true);
  // The song's key is the key mode it is played in, as a loaded recording's.
  window_.OnCommand(song_->key_mode);
  mode_ = PracticeMode::kWaiting;
  Start();
  return true;
}

bool SongPractice::OpenFromCommandLine(const std::string& text) {
  return Open(PathFromUtf8(text), QString::fromStdString(text));
}

void SongPractice::Start() {
  if (song_ == nullptr) return;
  End();
  // One thing plays at a time: the recording stops for the song.
  if (recording_.Playing()) window_.OnCommand(IDM_PLAY_STOP);
  window_.Client().SetPracticeStatus({});
  const std::uint32_t now = clock_.NowMs();
  if (mode_ == PracticeMode::kListening) {
    listen_list_.playback_events = SongEvents(*song_, speed_);
    // Nothing to wait for when nothing plays.
    listen_done_ = !listen_.Start(listen_list_.playback_events, false);
  }
  session_->Start(mode_, speed_, now);
  practising_ = true;
  tick_.start();
  band_->SetModeText(ModeText(mode_, speed_));
  ShowProgress();
  UpdateMenu();
}

void SongPractice::Stop() {
  End();
}

void SongPractice::Close() {
  End();
  band_->SetSong(nullptr, nullptr);
  session_.reset();
  song_.reset();
  window_.Client().ShowSongBand(false);
  window_.Client().SetHintKey(-1, 0);
  window_.Client().SetPracticeStatus({});
  UpdateMenu();
}

void SongPractice::End() {
  if (ending_ || session_ == nullptr || !practising_) return;
  ending_ = true;
  practising_ = false;
  tick_.stop();
  const bool listening = session_->Mode() == PracticeMode::kListening;
  if (listening) {
    listen_.Stop();
    // As a recording's playback ends: whatever it left sounding stops.
    SilenceAll(window_.Inst());
    window_.Repaint();
  }
  if (session_->Running()) session_->Stop(clock_.NowMs());
  if (const std::optional<std::string> line = session_->ResultLine()) {
    std::fprintf(stderr, "%s\n", line->c_str());
    std::fflush(stderr);
  }
  if (const std::optional<PracticeResult> result = session_->Result()) {
    window_.Client().SetPracticeStatus(ResultText(*result));
  }
  window_.Client().SetHintKey(-1, 0);
  band_->Refresh();
  UpdateMenu();
  ending_ = false;
}

void SongPractice::ChooseMode(PracticeMode mode) {
  mode_ = mode;
  // A practice in progress goes on in the new way, from the beginning.
  if (practising_) {
    Start();
  } else {
    band_->SetModeText(ModeText(mode_, speed_));
  }
  UpdateMenu();
}

void SongPractice::ChooseSpeed(int percent) {
  speed_ = percent;
  if (practising_ && mode_ != PracticeMode::kWaiting) {
    Start();
  } else {
    band_->SetModeText(ModeText(mode_, speed_));
  }
  UpdateMenu();
}

void SongPractice::OnKeyPress(std::uint32_t scan_code, std::int32_t shift) {
  if (!practising_) return;
  session_->KeyDown(scan_code, shift, clock_.NowMs());
  if (session_->Finished()) {
    End();
  } else {
    ShowProgress();
  }
}

void SongPractice::OnTick() {
  if (!practising_) {
    tick_.stop();
    return;
  }
  session_->Tick(clock_.NowMs());
  // Listening ends once its last release has sounded too: the scheduler
  // says so after handing it over.
  const bool heard = session_->Mode() != PracticeMode::kListening || listen_done_;
  if (session_->Finished() && heard) {
    End();
  } else {
    ShowProgress();
  }
}

void SongPractice::OnListenFinished(std::uint64_t generation) {
  if (!listen_.IsCurrent(generation)) return;
  listen_done_ = true;
  if (practising_ && session_->Finished()) End();
}

void SongPractice::OnListenEvent(std::uint64_t generation, std::uint32_t index) {
  // A handover queued before the listening stopped is dropped.
  if (listen_.IsCurrent(generation)) HandlePlayEvent(window_.Inst(), listen_list_, index);
}

void SongPractice::ShowProgress() {
  const std::optional<std::size_t> next = session_->NextNote();
  if (next) {
    const SongKey key = song_->notes[*next].key;
    window_.Client().SetHintKey(key.scan_code, key.shift);
  } else {
    window_.Client().SetHintKey(-1, 0);
  }
  band_->Refresh();
}

void SongPractice::UpdateMenu() {
  const bool open = song_ != nullptr;
  const bool running = open && practising_;
  window_.SetMenuItemEnabled(IDM_SONG_START, open);
  window_.SetMenuItemEnabled(IDM_SONG_STOP, running);
  window_.SetMenuItemEnabled(IDM_SONG_CLOSE, open);
  for (const std::int32_t id : kModeCommands) {
    window_.SetMenuItemChecked(id, id == ModeCommand(mode_));
  }
  for (std::int32_t i = 0; i < kSpeedCount; ++i) {
    window_.SetMenuItemChecked(IDM_SONG_SPEED_FIRST + i, kPracticeSpeeds[i] == speed_);
  }
}

QString SongPractice::ModeText(PracticeMode mode, int speed) const {
  switch (mode) {
    case PracticeMode::kWaiting:
      return tr("跟弹");
    case PracticeMode::kPlayingAlong:
      return tr("随拍 %1%").arg(speed);
    case PracticeMode::kListening:
      return tr("示范 %1%").arg(speed);
  }
  return {};
}

QString SongPractice::ResultText(const PracticeResult& result) const {
  const QString title = QString::fromStdString(song_->title);
  const QString mode = ModeText(session_->Mode(), session_->Speed());
  const QString total = QString::number(result.total);
  const QString right = QString::number(result.right);
  // All at once: a title holding "%3" stays as it is written.
  if (result.timing_median_ms) {
    return tr("《%1》%2：%3 个音弹对 %4 个，时间差中位数 %5 毫秒")
        .arg(title, mode, total, right, QString::number(*result.timing_median_ms));
  }
  return tr("《%1》%2：%3 个音弹对 %4 个").arg(title, mode, total, right);
}

}  // namespace tonvale
