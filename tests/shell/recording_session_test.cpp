// The recording session wired into the window; the rules behind it are the
// core's, the command-line file is played in the real window's test.
#include "shell/recording_session.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <fstream>
#include <thread>

#include "files/file_error.h"
#include "files/take_journal.h"
#include "left_files.h"
#include "record/clock.h"
#include "record/playback_timer.h"
#include "shell/file_dialogs.h"
#include "window_rig.h"

using namespace tonvale;
using namespace tonvale::test;

namespace {

struct SessionRig : WindowRig {
  FakeDialogs dialogs;
  SettableMillisecondClock clock{1000};
  InstantTimer timer;
  std::unique_ptr<RecordingSession> session;

  template <typename Prepare>
  SessionRig(Prepare prepare, const std::string& command_line, TakeJournal* journal = nullptr)
      : WindowRig(prepare) {
    session = std::make_unique<RecordingSession>(*window, notices, dialogs, clock, timer, journal);
    session->LoadFromCommandLine(command_line);
  }
  SessionRig() : SessionRig([](RecordingSink&) {}, {}) {}
  explicit SessionRig(TakeJournal& journal) : SessionRig([](RecordingSink&) {}, {}, &journal) {}

  // Key A (scan code 30) is note 60 in C major, D (32) note 64.
  void Tap(int qt_key, quint32 scan) {
    Press(qt_key, scan + 8);
    clock.Advance(30);
    Release(qt_key, scan + 8);
  }
  // The recording menu in its order and the buttons: "EGGG.../EGG.." (E enabled).
  QString Items() const {
    QString items;
    for (int id : {1283, 1284, 1285, 1286, 1287, 1288, 1289, 1282, 1296})
      items += window->Commands().Find(id)->isEnabled() ? 'E' : 'G';
    items += '/';
    for (int id = 1283; id <= 1287; ++id)
      items += window->TransportButton(id)->isEnabled() ? 'E' : 'G';
    return items;
  }
};

// Rows of Items(); every transition's row is the core's to show.
const QString kReadyItems = "EGEEGEEEE/EGEEG";  // unsaved
const QString kSavedItems = "EGEEGGEEE/EGEEG";  // nothing unsaved
const QString kPlayingItems = "GGGGEGGGG/GGGGE";

QString Question(const char* name) {
  return QString::fromUtf8("Q 保存当前的变化在 %1?|QV").arg(QString::fromUtf8(name));
}
QString CannotOpen(const std::string& name) {
  return "W " + QString::fromStdString(FileMessage(FileError::kCannotOpen, name)) + "|QV";
}

// The take in the journal once all that was handed over is on the disk.
std::optional<RecordingFile> Journaled(TakeJournal& journal) {
  journal.Flush();
  if (journal.Path().empty()) return std::nullopt;
  std::ifstream in(journal.Path(), std::ios::binary);
  return ReadJournalText(std::string(std::istreambuf_iterator<char>(in), {}));
}
int JournaledEvents(TakeJournal& journal) {
  const std::optional<RecordingFile> take = Journaled(journal);
  return take ? int(take->events.size()) : -1;
}

void RecordKeys(SessionRig& rig, int keys) {
  rig.Trigger(IDM_RECORD_START);
  for (int i = 0; i < keys; ++i) rig.Tap(i == 0 ? Qt::Key_A : Qt::Key_D, i == 0 ? 30 : 32);
  rig.Trigger(IDM_RECORD_STOP);
}

}  // namespace

class RecordingSessionTest : public QObject {
  Q_OBJECT

 private slots:
  void commandsReachTheCoreAndItsStateTheItems() {
    SessionRig rig;
    QVERIFY(rig.Show());
    rig.Trigger(IDM_DEVICE_CLOSE);
    rig.Trigger(IDM_RECORD_START);
    QCOMPARE(rig.notices.boxes, QStringList{QString::fromUtf8("- 请打开开关|提示")});
    QCOMPARE(rig.notices.owners[0], static_cast<QWidget*>(rig.window.get()));
    rig.Trigger(IDM_DEVICE_OPEN);
    rig.Trigger(IDM_RECORD_START);
    rig.Tap(Qt::Key_A, 30);
    rig.Tap(Qt::Key_D, 32);
    rig.Trigger(IDM_RECORD_STOP);
    QCOMPARE(rig.Items(), kReadyItems);
    // Played once: every handover sounds, then the play stops itself.
    rig.sink.Clear();
    rig.Trigger(IDM_PLAY);
    QCOMPARE(rig.Items(), kPlayingItems);
    QTRY_COMPARE(rig.Items(), kReadyItems);
    QCOMPARE(rig.Sent(), "90 3c 7f,80 3c 00,90 40 7f,80 40 00," + Dump(AllNotesOff()));
    // Looped, then stopped while handovers wait for the window: none sounds.
    rig.Trigger(IDM_PLAY_LOOP);
    rig.sink.Clear();
    std::this_thread::yield();
    rig.Trigger(IDM_PLAY_STOP);
    QCoreApplication::processEvents();
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
    QCOMPARE(rig.Items(), kReadyItems);
    // Closing while it plays: Cancel keeps both; No stops, releases, closes.
    rig.Trigger(IDM_PLAY_LOOP);
    rig.notices.answers = {QMessageBox::Cancel, QMessageBox::No};
    QVERIFY(!rig.window->close() && rig.session->Scheduler().Running());
    rig.sink.Clear();
    QVERIFY(rig.window->close() && !rig.session->Scheduler().Running());
    QCOMPARE(rig.notices.boxes.last(), Question("未命名"));
    QCOMPARE(rig.session->Playback().playback_count(), 0u);
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
  }

  void fileCommandsAskTheirDialogsAndQuestions() {
    QTemporaryDir dir;
    SessionRig rig;
    QVERIFY(rig.Show());
    RecordKeys(rig, 1);
    const QString path = dir.filePath(QString::fromUtf8("曲子.qvi"));
    rig.dialogs.answers = {path};
    rig.Trigger(IDM_FILE_SAVE);
    QCOMPARE(rig.dialogs.asked, QStringList{"save *.qvi "});
    QCOMPARE(rig.window->windowTitle(), QString::fromUtf8("Tonvale - [曲子.qvi]"));
    QCOMPARE(rig.Items(), kSavedItems);
    // Unsaved again: load asks, opens on the document, applies mode and bass.
    RecordKeys(rig, 2);
    for (int id : {1321, IDM_AUTO_BASS}) rig.Trigger(id);
    rig.notices.answers = {QMessageBox::No};
    rig.dialogs.answers = {path};
    rig.Trigger(IDM_FILE_OPEN);
    QCOMPARE(rig.notices.boxes, QStringList{Question("曲子.qvi")});
    QCOMPARE(rig.dialogs.asked.last(), "open *.qvi " + path);
    QCOMPARE(rig.Items(), kSavedItems);
    QVERIFY(rig.window->Commands().Find(1297)->isChecked());
    QVERIFY(!rig.window->Commands().Find(IDM_AUTO_BASS)->isChecked());
    // A file that cannot be read: a warning naming it, with a beep.
    rig.dialogs.answers = {dir.filePath("gone.qvi")};
    rig.Trigger(IDM_FILE_OPEN);
    QCOMPARE(rig.notices.boxes.last(), CannotOpen("gone.qvi"));
    QCOMPARE(rig.notices.beeps.size(), size_t(1));
  }

  void keysAfterASaveAtSessionEndAreUnsavedAgain() {
    QTemporaryDir dir;
    SessionRig rig;
    QVERIFY(rig.Show());
    // The session ends while recording, Yes saves; the logout is then cancelled.
    rig.Trigger(IDM_RECORD_START);
    rig.Tap(Qt::Key_A, 30);
    rig.notices.answers = {QMessageBox::Yes};
    rig.dialogs.answers = {dir.filePath("live.qvi")};
    QVERIFY(rig.session->MayEndSession());
    rig.Trigger(IDM_RECORD_STOP);
    QCOMPARE(rig.Items(), kSavedItems);  // nothing played since the save
    // Again, with a key played after the save: save is offered, closing asks.
    rig.Trigger(IDM_RECORD_START);
    rig.Tap(Qt::Key_A, 30);
    rig.notices.answers = {QMessageBox::Yes};
    QVERIFY(rig.session->MayEndSession());
    rig.Tap(Qt::Key_D, 32);
    rig.Trigger(IDM_RECORD_STOP);
    QCOMPARE(rig.Items(), kReadyItems);
    rig.notices.answers = {QMessageBox::Cancel};
    QVERIFY(!rig.window->close());
    QCOMPARE(rig.notices.boxes.last(), Question("live.qvi"));
  }

  // Space is recorded as scan code 57, played as the pedal, exported as CC 64.
  void aPedalledRecordingIsSavedLoadedPlayedAndExported() {
    QTemporaryDir dir;
    SessionRig rig;
    QVERIFY(rig.Show());
    rig.Trigger(IDM_RECORD_START);
    for (const auto& [ms, press, qt_key, native] : {std::tuple{1000, true, Qt::Key_Space, 65},
                                                    {4, true, Qt::Key_A, 38},
                                                    {1000, false, Qt::Key_A, 38},
                                                    {500, false, Qt::Key_Space, 65}}) {
      rig.clock.Advance(ms);
      rig.Key(press ? QEvent::KeyPress : QEvent::KeyRelease, qt_key, native);
    }
    rig.Trigger(IDM_RECORD_STOP);
    const QString path = dir.filePath("pedal.qvi");
    rig.dialogs.answers = {path};
    rig.Trigger(IDM_FILE_SAVE);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().mid(96).toHex(' '),
             "64 61 74 61 40 00 00 00 "                          // "data", 4 events
             "e8 03 00 00 00 01 00 00 01 00 39 00 00 00 00 00 "  // Space down after 1000 ms
             "04 00 00 00 00 01 00 00 01 00 1e 00 00 00 00 00 "
             "e8 03 00 00 01 01 00 00 01 00 1e c0 00 00 00 00 "
             "f4 01 00 00 01 01 00 00 01 00 39 c0 00 00 00 00");  // and up 500 ms later
    rig.dialogs.answers = {path};
    rig.Trigger(IDM_FILE_OPEN);
    rig.sink.Clear();
    rig.Trigger(IDM_PLAY);
    QTRY_COMPARE(rig.Items(), kSavedItems);
    QCOMPARE(rig.Sent(), "b0 40 7f,90 3c 7f,80 3c 00,b0 40 00," + Dump(AllNotesOff()));
    // 252 ticks (81 7c), 1, 252 and 126 (7e).
    rig.dialogs.answers = {dir.filePath("pedal.mid")};
    rig.Trigger(IDM_EXPORT_MIDI);
    QCOMPARE(rig.dialogs.asked.last(), "save *.mid ");
    QFile midi(dir.filePath("pedal.mid"));
    QVERIFY(midi.open(QIODevice::ReadOnly));
    QCOMPARE(midi.readAll().toHex(' '),
             "4d 54 68 64 00 00 00 06 00 00 00 01 00 c0 4d 54 72 6b 00 00 00 29 "
             "00 ff 51 03 0b 96 c6 00 c0 00 81 7c b0 40 7f 01 90 3c 7f 81 7c 80 3c 7f "
             "7e b0 40 00 83 0f 90 01 00 00 80 01 00 00 ff 2f 00");
    // A recording that ends with the pedal down: the play's own stop lets it
    // go before it silences every channel.
    rig.Trigger(IDM_RECORD_START);
    rig.Press(Qt::Key_Space, 65);
    rig.Trigger(IDM_RECORD_STOP);
    rig.Release(Qt::Key_Space, 65);
    rig.sink.Clear();
    rig.Trigger(IDM_PLAY);
    QTRY_COMPARE(rig.Items(), kReadyItems);
    QCOMPARE(rig.Sent(), "b0 40 7f,b0 40 00," + Dump(AllNotesOff()));
  }

  void theJournalKeepsTheTakeWhileItIsUnsaved() {
    QTemporaryDir dir;
    TakeJournal journal(dir.filePath("state").toStdString());
    SessionRig rig(journal);
    QVERIFY(rig.Show());
    // Handed over while the take is played, without any command.
    rig.Trigger(IDM_RECORD_START);
    rig.Tap(Qt::Key_A, 30);
    QTRY_COMPARE(JournaledEvents(journal), 2);
    rig.Tap(Qt::Key_D, 32);
    rig.Trigger(IDM_RECORD_STOP);
    QCOMPARE(Journaled(journal)->events, rig.session->Recording().recording_events);
    rig.dialogs.answers = {dir.filePath("saved.qvi")};
    rig.Trigger(IDM_FILE_SAVE);
    QCOMPARE(JournaledEvents(journal), -1);
    // A new take; a key mode chosen afterwards reaches the journal too.
    RecordKeys(rig, 1);
    rig.Trigger(1321);
    QTRY_COMPARE(Journaled(journal)->key_mode, 1321);
    // Not saved and not loaded (the open dialog cancelled), the window not
    // closed: it stays. Closed without saving: it goes.
    rig.notices.answers = {QMessageBox::No, QMessageBox::Cancel};
    rig.Trigger(IDM_FILE_OPEN);
    QVERIFY(!rig.window->close());
    QCOMPARE(JournaledEvents(journal), 2);
    rig.notices.answers = {QMessageBox::No};
    QVERIFY(rig.window->close());
    QCOMPARE(JournaledEvents(journal), -1);
  }
};

QTEST_MAIN(RecordingSessionTest)
#include "recording_session_test.moc"
