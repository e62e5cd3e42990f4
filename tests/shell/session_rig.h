// The main window with its recording session: file dialogs answered by the
// test, a recording clock the test moves, the real playback scheduler, and
// every MIDI message stamped with the time it was sent.
#pragma once

#include <QElapsedTimer>
#include <QPushButton>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "record/clock.h"
#include "record/playback_timer.h"
#include "shell/file_dialogs.h"
#include "shell/recording_session.h"
#include "window_rig.h"

namespace tonvale::test {

class FakeDialogs : public FileDialogs {
 public:
  struct Asked {
    FileDialogSetup setup;
    QString initial_path;
  };
  std::vector<Asked> asked;
  // Answers for the dialogs to come; cancelled once they run out.
  std::deque<std::optional<QString>> answers;

  std::optional<QString> Choose(QWidget*, const FileDialogSetup& setup,
                                const QString& initial_path) override {
    asked.push_back({setup, initial_path});
    if (answers.empty()) return std::nullopt;
    // Copied apart: GCC warns on an optional<QString> moved out of a deque.
    const bool chosen = answers.front().has_value();
    const QString path = answers.front().value_or(QString());
    answers.pop_front();
    if (!chosen) return std::nullopt;
    return path;
  }
};

// Stands between the instrument and the recording sink: stamps every message
// that reaches an open device, and tells the test when the device closes.
class StampingOut : public MidiOut {
 public:
  explicit StampingOut(RecordingSink& sink) : sink_(sink) { clock_.start(); }
  std::vector<qint64> stamps_ms;  // one per message the sink kept
  std::function<void()> on_close;

  int DeviceCount() override { return sink_.DeviceCount(); }
  std::optional<std::string> DescribeDevice(int device) override {
    return sink_.DescribeDevice(device);
  }
  bool Open(int device) override { return sink_.Open(device); }
  void Send(std::uint32_t packed) override {
    const std::size_t before = sink_.sent.size();
    sink_.Send(packed);
    if (sink_.sent.size() != before) stamps_ms.push_back(clock_.elapsed());
  }
  void Close() override {
    if (on_close) on_close();
    sink_.Close();
  }
  qint64 Now() const { return clock_.elapsed(); }

 private:
  RecordingSink& sink_;
  QElapsedTimer clock_;
};

struct SessionRig : WindowRig {
  FakeDialogs dialogs;
  SettableMillisecondClock clock{1000};
  // No real-time priority in tests.
  SteadyPlaybackTimer timer{SteadyPlaybackTimer::kDefaultSpinMargin, false};
  std::unique_ptr<StampingOut> stamping;
  std::unique_ptr<RecordingSession> session;

  template <typename Prepare>
  SessionRig(Prepare prepare, const std::string& command_line) : WindowRig(prepare) {
    if (!created) return;
    stamping = std::make_unique<StampingOut>(sink);
    Inst().out = stamping.get();
    session = std::make_unique<RecordingSession>(*window, notices, dialogs, clock, timer);
    session->LoadFromCommandLine(command_line);
  }
  SessionRig() : SessionRig([](RecordingSink&) {}, std::string()) {}
  ~SessionRig() {
    session.reset();
    window.reset();
  }

  // A playing key as X11 delivers it: scan code + 8 as the native code.
  void Tap(int qt_key, quint32 scan, const QString& text, std::uint32_t hold_ms) {
    Press(qt_key, scan + 8, text);
    clock.Advance(hold_ms);
    Release(qt_key, scan + 8, text);
  }

  void Click(int id) { QTest::mouseClick(window->TransportButton(id), Qt::LeftButton); }

  // The nine recording-menu items (1283..1287, 1288, 1289, 1282, 1296) and
  // the five buttons as "EEGG.../EEG..": E enabled, G greyed.
  QString Items() const {
    QString menu;
    for (int id : {1283, 1284, 1285, 1286, 1287, 1288, 1289, 1282, 1296}) {
      const QAction* a = window->Commands().Find(id);
      menu += (a != nullptr && a->isEnabled()) ? QLatin1Char('E') : QLatin1Char('G');
    }
    menu += QLatin1Char('/');
    for (int id = 1283; id <= 1287; ++id) {
      menu += window->TransportButton(id)->isEnabled() ? QLatin1Char('E') : QLatin1Char('G');
    }
    return menu;
  }

  // Only the note-on and note-off messages sent so far.
  ByteList Notes() const {
    ByteList notes;
    for (const Bytes& m : SentBytes()) {
      if ((m[0] & 0xE0) == 0x80) notes.push_back(m);
    }
    return notes;
  }
};

// Rows of the state table, as SessionRig::Items() writes them.
inline const QString kEmptyItems = QStringLiteral("EGGGGGGGE/EGGGG");
inline const QString kRecordingItems = QStringLiteral("GEGGGGGGG/GEGGG");
inline const QString kReadyItems = QStringLiteral("EGEEGEEEE/EGEEG");  // modified
inline const QString kSavedItems = QStringLiteral("EGEEGGEEE/EGEEG");  // not modified
inline const QString kHeldExportItems =
    QStringLiteral("EGEEGGEGE/EGEEG");  // after a command-line load
inline const QString kPlayingItems = QStringLiteral("GGGGEGGGG/GGGGE");

}  // namespace tonvale::test
