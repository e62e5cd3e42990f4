// Practising a song, wired into the main window: the practice menu, the song
// opened from it or from the command line, the song band and the next key on
// the keyboard, the practice session fed with every key press and ticked by
// a timer, listening played through a playback scheduler of its own, and the
// result in the status line and on standard error.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "practice/practice_session.h"
#include "practice/song.h"
#include "record/clock.h"
#include "record/event_lists.h"
#include "record/playback_scheduler.h"
#include "record/playback_timer.h"

namespace tonvale {

class FileDialogs;
class MainWindow;
class Notices;
class RecordingSession;
class SongBand;

// Whether a file named on the command line is opened as a song rather than
// loaded as a recording: not a recording (by its .qvi name or its content),
// and either named .txt or there to be read. Anything else keeps the
// recording's way, its messages included.
bool OpensAsSong(const std::filesystem::path& path);

class SongPractice : public QObject {
  Q_OBJECT

 public:
  // Attaches itself to a created window and its recording session: the
  // practice menu, the key presses, playback's start, the window's end.
  // Everything is borrowed and must outlive the practice. `songs_folder` is
  // where the open dialog starts (empty: wherever the dialog likes).
  SongPractice(MainWindow& window, RecordingSession& recording, Notices& notices,
               FileDialogs& dialogs, MillisecondClock& clock, PlaybackTimer& timer,
               std::filesystem::path songs_folder);
  // Ends the practice (silencing what listening played) and detaches.
  ~SongPractice() override;
  SongPractice(const SongPractice&) = delete;
  SongPractice& operator=(const SongPractice&) = delete;

  // Commands IDM_SONG_OPEN .. as the window hands them over.
  void OnCommand(int id);

  // Opens the song at `path` (shown in messages as `name`) and starts
  // waiting for its first note. A song that does not read is refused with
  // its message; whatever was open stays open. Returns whether it opened.
  bool Open(const std::filesystem::path& path, const QString& name);
  // The song named on the command line, while the window is being created.
  bool OpenFromCommandLine(const std::string& text);

  // Starts the song from its beginning in the mode and at the speed chosen
  // (a practice in progress ends first; so does playback of the recording).
  void Start();
  // Ends the practice where it stands and shows its result.
  void Stop();
  // Ends the practice and puts the song away: the window is as before.
  void Close();

  const Song* CurrentSong() const { return song_.get(); }
  const PracticeSession* Session() const { return session_.get(); }
  PracticeMode Mode() const { return mode_; }
  int Speed() const { return speed_; }
  SongBand& Band() { return *band_; }
  const PlaybackScheduler& ListenScheduler() const { return listen_; }

 private:
  void OnKeyPress(std::uint32_t scan_code, std::int32_t shift);
  void OnTick();
  void OnListenEvent(std::uint64_t generation, std::uint32_t index);
  void OnListenFinished(std::uint64_t generation);
  void ChooseMode(PracticeMode mode);
  void ChooseSpeed(int percent);
  // Ends a running practice: listening falls silent, and the result (if the
  // mode has one) goes to the status line and to standard error.
  void End();
  void ShowProgress();
  void UpdateMenu();
  QString ModeText(PracticeMode mode, int speed) const;
  QString ResultText(const PracticeResult& result) const;
  void Detach();

  MainWindow& window_;
  RecordingSession& recording_;
  Notices& notices_;
  FileDialogs& dialogs_;
  MillisecondClock& clock_;
  std::filesystem::path songs_folder_;
  std::filesystem::path last_song_;  // the open dialog's start after the first song

  std::unique_ptr<Song> song_;
  std::unique_ptr<PracticeSession> session_;  // of *song_
  PracticeMode mode_ = PracticeMode::kWaiting;
  int speed_ = 100;
  bool practising_ = false;  // started, and its result not yet given
  bool ending_ = false;

  SongBand* band_ = nullptr;  // owned by the window's client area
  QTimer tick_;
  PlaybackList listen_list_;
  bool listen_done_ = false;  // listening's scheduler has handed over its last event
  PlaybackScheduler listen_;
};

}  // namespace tonvale
