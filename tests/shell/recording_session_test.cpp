// The recording session in the window: every transport item and button
// after real commands, playback through the real scheduler into a recording
// sink, stop that is final, closing during playback; the file commands with
// their questions and dialogs, the command-line file; About and help.
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <thread>

#include "files/file_error.h"
#include "files/qvi_file.h"
#include "files/safe_write.h"
#include "help/about_box.h"
#include "help/help_window.h"
#include "help/link_label.h"
#include "record/transport.h"
#include "session_rig.h"

using tonvale::FileDialogSetup;
using tonvale::FileMessage;
using tonvale::PerformanceEvent;
using tonvale::test::AllNotesOff;
using tonvale::test::ByteList;
using tonvale::test::Dump;
using tonvale::test::kEmptyItems;
using tonvale::test::kHeldExportItems;
using tonvale::test::kPlayingItems;
using tonvale::test::kReadyItems;
using tonvale::test::kRecordingItems;
using tonvale::test::kSavedItems;
using tonvale::test::RecordingSink;
using tonvale::test::SessionRig;

namespace {

constexpr quint32 kScanA = 30, kScanD = 32, kScanG = 34;  // notes 60, 64, 67 in C major

// Records: 50 ms of silence, A held 40 ms, 60 ms, D held 40 ms, 30 ms, then
// G pressed and still down when the recording stops.
void RecordTune(SessionRig& rig) {
  QVERIFY(rig.Show());
  rig.Click(tonvale::IDM_RECORD_START);
  rig.clock.Advance(50);
  rig.Tap(Qt::Key_A, kScanA, QStringLiteral("a"), 40);
  rig.clock.Advance(60);
  rig.Tap(Qt::Key_D, kScanD, QStringLiteral("d"), 40);
  rig.clock.Advance(30);
  rig.Press(Qt::Key_G, kScanG + 8, QStringLiteral("g"));
  rig.Click(tonvale::IDM_RECORD_STOP);
  rig.Release(Qt::Key_G, kScanG + 8, QStringLiteral("g"));  // after the recording
}

// The tune's notes as played back, as Dump writes them.
const QStringList kTuneNotes = {QStringLiteral("90 3c 7f"), QStringLiteral("80 3c 00"),
                                QStringLiteral("90 40 7f"), QStringLiteral("80 40 00"),
                                QStringLiteral("90 43 7f")};
// When each note is due after play, in ms (the recorded deltas added up).
const std::vector<qint64> kTuneDue = {50, 90, 150, 190, 220};

bool NoKeyDrawnPressed(SessionRig& rig) {
  for (quint32 scan : {kScanA, kScanD, kScanG}) {
    if (rig.Client().KeyMarkPressed(scan)) return false;
  }
  return true;
}

QString Title(const char* name) {
  return QStringLiteral("Tonvale - [%1]").arg(QString::fromUtf8(name));
}

bool SameSetup(const FileDialogSetup& a, const FileDialogSetup& b) {
  return QByteArray(a.filter_pattern) == QByteArray(b.filter_pattern) && a.save == b.save;
}

// A recording of one key: D (scan 32) when `d`, else A (30).
void RecordOneKey(SessionRig& rig, bool d = false) {
  QVERIFY(rig.Show());
  rig.Click(tonvale::IDM_RECORD_START);
  rig.Tap(d ? Qt::Key_D : Qt::Key_A, d ? 32 : 30, d ? QStringLiteral("d") : QStringLiteral("a"),
          30);
  rig.Click(tonvale::IDM_RECORD_STOP);
}

std::vector<PerformanceEvent> Read(const QString& path) {
  tonvale::QviReadResult read = tonvale::ReadQviFile(tonvale::PathFromUtf8(path.toStdString()));
  if (auto* file = std::get_if<tonvale::RecordingFile>(&read)) return file->events;
  return {};
}

// A recording file: key A pressed after 10 ms and released 40 ms later, in
// B minor (1321) with the automatic bass on.
void WriteTuneFile(const QString& path) {
  const std::uint32_t a = 1u | (30u << 16);
  const std::vector<PerformanceEvent> events = {{10, 256, a, 0}, {40, 257, a | 0xC0000000u, 0}};
  QVERIFY(!tonvale::WriteQviFile(tonvale::PathFromUtf8(path.toStdString()), events, 1321, true,
                                 {2024, 5, 6}));
}

}  // namespace

class RecordingSessionTest : public QObject {
  Q_OBJECT

 private slots:
  void itemsAndButtonsFollowEveryTransition() {
    SessionRig rig;
    QVERIFY(rig.created && rig.Show());
    QCOMPARE(rig.Items(), kEmptyItems);
    // Each command from the button or the menu, as a user may choose, with
    // every item and button checked in the state it enters.
    const auto step = [&rig](int id, bool button, const QString& items) {
      button ? rig.Click(id) : rig.Trigger(id);
      QCOMPARE(rig.Items(), items);
    };
    // Recording with nothing played gives nothing to play.
    step(tonvale::IDM_RECORD_START, true, kRecordingItems);
    step(tonvale::IDM_RECORD_STOP, false, kEmptyItems);
    QVERIFY(!rig.session->Document().modified_flag);
    // The first event marks the document modified.
    step(tonvale::IDM_RECORD_START, false, kRecordingItems);
    rig.Tap(Qt::Key_A, kScanA, QStringLiteral("a"), 30);
    QVERIFY(rig.session->Document().modified_flag);
    step(tonvale::IDM_RECORD_STOP, true, kReadyItems);
    QCOMPARE(rig.session->Playback().playback_count(), 2u);
    // Play once: Playing until the list ends by itself. Loop: until stopped.
    step(tonvale::IDM_PLAY, true, kPlayingItems);
    QTRY_COMPARE(rig.Items(), kReadyItems);
    step(tonvale::IDM_PLAY_LOOP, false, kPlayingItems);
    QVERIFY(rig.session->Scheduler().Running());
    step(tonvale::IDM_PLAY_STOP, false, kReadyItems);
    QVERIFY(!rig.session->Scheduler().Running());
    // A new recording while Ready discards the old one without a question.
    step(tonvale::IDM_RECORD_START, true, kRecordingItems);
    QCOMPARE(rig.session->Recording().recording_count(), 0u);
    QVERIFY(rig.notices.shown.empty());
    step(tonvale::IDM_RECORD_STOP, true, kEmptyItems);
    QVERIFY(!rig.session->Document().modified_flag);
    QCOMPARE(rig.session->Playback().playback_count(), 0u);

    // With the device closed: the notice, owned by the window, and nothing moves.
    rig.Trigger(257);
    rig.Click(tonvale::IDM_RECORD_START);
    QCOMPARE(rig.Items(), kEmptyItems);
    QVERIFY(!rig.session->Recording().recording_flag);
    QCOMPARE(rig.notices.Boxes(), QString::fromUtf8("- 请打开开关|提示"));
    QCOMPARE(rig.notices.shown[0].owner, static_cast<QWidget*>(rig.window.get()));
    QCOMPARE(rig.notices.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(rig.notices.beeps.empty());
  }

  void playbackSoundsTheRecordingInOrderAndOnTime() {
    SessionRig rig;
    QVERIFY(rig.created);
    RecordTune(rig);
    QCOMPARE(rig.session->Recording().recording_count(), 5u);
    rig.sink.Clear();
    rig.stamping->stamps_ms.clear();
    const qint64 start = rig.stamping->Now();
    rig.Trigger(tonvale::IDM_PLAY);
    QCOMPARE(rig.Items(), kPlayingItems);
    // The single play ends with the stop command: every channel silenced.
    QTRY_COMPARE_WITH_TIMEOUT(rig.Items(), kReadyItems, 5000);
    QCOMPARE(rig.Sent(),
             kTuneNotes.join(QLatin1Char(',')) + QLatin1Char(',') + Dump(AllNotesOff()));
    // Never early, and never far behind the recorded time line.
    for (std::size_t i = 0; i < kTuneDue.size(); ++i) {
      const qint64 at = rig.stamping->stamps_ms[i] - start;
      QVERIFY2(at >= kTuneDue[i] - 1 && at <= kTuneDue[i] + 250,
               qPrintable(QStringLiteral("note %1 at %2 ms").arg(i).arg(at)));
    }
    // The last press stayed drawn until stop playing redrew every key released.
    QVERIFY(NoKeyDrawnPressed(rig));

    // The settings in force at playback: another channel, the automatic bass.
    rig.Trigger(tonvale::IDM_CHANNEL_FIRST + 2);
    rig.Trigger(tonvale::IDM_AUTO_BASS);
    rig.sink.Clear();
    rig.Click(tonvale::IDM_PLAY);
    QTRY_COMPARE_WITH_TIMEOUT(rig.Items(), kReadyItems, 5000);
    QCOMPARE(Dump(rig.Notes()), QStringLiteral("92 3c 7f,9f 30 7f,82 3c 00,8f 30 00,92 40 7f,"
                                               "9f 34 7f,82 40 00,8f 34 00,92 43 7f,9f 37 7f"));
  }

  void loopRepeatsAndStopIsFinal() {
    SessionRig rig;
    QVERIFY(rig.created);
    RecordTune(rig);
    rig.sink.Clear();
    rig.Click(tonvale::IDM_PLAY_LOOP);
    // Two whole passes and the start of a third: the loop goes round.
    QTRY_VERIFY_WITH_TIMEOUT(rig.Notes().size() >= 11, 5000);
    const ByteList notes = rig.Notes();
    for (std::size_t i = 0; i < 11; ++i) {
      QCOMPARE(Dump({notes[i]}), kTuneNotes[int(i) % 5]);
    }
    // Played keys are drawn pressed while they sound.
    QTRY_VERIFY(rig.Client().KeyMarkPressed(kScanG));

    // The window thread is busy while the scheduler hands over more events;
    // then stop: the handovers already queued must not sound.
    const std::size_t before_busy = rig.sink.sent.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    QCOMPARE(rig.sink.sent.size(), before_busy);
    rig.Click(tonvale::IDM_PLAY_STOP);
    QTest::qWait(300);
    const ByteList all = rig.SentBytes();
    QCOMPARE(Dump(ByteList(all.begin() + long(before_busy), all.end())), Dump(AllNotesOff()));
    QCOMPARE(rig.Items(), kReadyItems);
    QVERIFY(NoKeyDrawnPressed(rig));
  }

  void aClosedDeviceSilencesPlaybackToItsEnd() {
    SessionRig rig;
    QVERIFY(rig.created);
    RecordTune(rig);
    rig.Click(tonvale::IDM_PLAY);
    rig.Trigger(257);  // before any event was handed over
    rig.sink.Clear();
    // Nothing sounds and nothing is drawn, but the list still runs to its end.
    QTRY_COMPARE_WITH_TIMEOUT(rig.Items(), kReadyItems, 5000);
    QVERIFY(rig.sink.sent.empty());
    QVERIFY(NoKeyDrawnPressed(rig));
  }

  void closingDuringPlaybackStopsItBeforeTheDeviceCloses() {
    SessionRig rig;
    QVERIFY(rig.created);
    RecordTune(rig);
    rig.Click(tonvale::IDM_PLAY_LOOP);
    QTRY_VERIFY(!rig.Notes().empty());
    bool ran_at_close = true;
    rig.stamping->on_close = [&] { ran_at_close = rig.session->Scheduler().Running(); };
    // Unsaved: the question first, on closing and on the session ending;
    // Cancel keeps the window and the playback; No ends without writing.
    rig.notices.answers = {QMessageBox::Cancel, QMessageBox::Cancel, QMessageBox::No,
                           QMessageBox::No};
    QVERIFY(!rig.window->close());
    QVERIFY(!rig.session->MayEndSession());
    QVERIFY(rig.session->MayEndSession());
    QVERIFY(rig.session->Scheduler().Running());
    QCOMPARE(rig.Items(), kPlayingItems);
    rig.sink.Clear();
    QVERIFY(rig.window->close());
    QCOMPARE(int(rig.notices.shown.size()), 4);
    QVERIFY(rig.dialogs.asked.empty());
    QVERIFY(!ran_at_close);
    QVERIFY(!rig.session->Scheduler().Running());
    QCOMPARE(rig.session->Playback().playback_count(), 0u);
    QCOMPARE(rig.session->Recording().recording_count(), 0u);
    QTest::qWait(300);
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
    QCOMPARE(rig.sink.opened_device, -2);
  }

  void untitledSaveGoesThroughSaveAsThenSavesInPlace() {
    QTemporaryDir dir;
    SessionRig rig;
    QVERIFY(rig.created);
    QCOMPARE(rig.window->windowTitle(), Title("未命名"));
    RecordOneKey(rig);
    QCOMPARE(rig.Items(), kReadyItems);

    const QString path = dir.filePath(QStringLiteral("曲子.qvi"));
    rig.dialogs.answers = {path};
    rig.Trigger(tonvale::IDM_FILE_SAVE);
    QCOMPARE(int(rig.dialogs.asked.size()), 1);
    QVERIFY(SameSetup(rig.dialogs.asked[0].setup, tonvale::kSaveDialog));
    QCOMPARE(rig.dialogs.asked[0].initial_path, QString());
    QCOMPARE(rig.window->windowTitle(), Title("曲子.qvi"));
    QCOMPARE(rig.Items(), kSavedItems);
    QVERIFY(Read(path) == rig.session->Recording().recording_events);

    // A new recording in a named document: save writes the same file, no dialog.
    RecordOneKey(rig, true);
    QCOMPARE(rig.Items(), kReadyItems);
    rig.Trigger(tonvale::IDM_FILE_SAVE);
    QCOMPARE(int(rig.dialogs.asked.size()), 1);
    QCOMPARE(rig.Items(), kSavedItems);
    QCOMPARE(Read(path)[0].key_data >> 16 & 0xFF, 32u);

    // Save as always asks, opened on the document's path; cancelled: nothing.
    rig.Trigger(tonvale::IDM_FILE_SAVE_AS);
    QCOMPARE(int(rig.dialogs.asked.size()), 2);
    QCOMPARE(rig.dialogs.asked[1].initial_path, path);
    QCOMPARE(rig.window->windowTitle(), Title("曲子.qvi"));
    // Nothing unsaved: closing asks nothing.
    QVERIFY(rig.window->close());
    QVERIFY(rig.notices.shown.empty());
  }

  void closingAsksYesNoOrCancel() {
    QTemporaryDir dir;
    SessionRig rig;
    QVERIFY(rig.created);
    RecordOneKey(rig);

    // Cancel: stays open.
    rig.notices.answers = {QMessageBox::Cancel};
    QVERIFY(!rig.window->close());
    QCOMPARE(rig.notices.Boxes(), QString::fromUtf8("Q 保存当前的变化在 未命名?|QV"));
    QCOMPARE(rig.notices.shown[0].buttons,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(rig.notices.shown[0].owner, static_cast<QWidget*>(rig.window.get()));

    // Yes, untitled: the save-as dialog; cancelling it keeps the window open.
    rig.notices.answers = {QMessageBox::Yes};
    QVERIFY(!rig.window->close());
    QCOMPARE(int(rig.dialogs.asked.size()), 1);
    QVERIFY(rig.session->Document().modified_flag);

    // Yes and a file: written, then the window closes.
    const QString path = dir.filePath(QStringLiteral("close.qvi"));
    rig.notices.answers = {QMessageBox::Yes};
    rig.dialogs.answers = {path};
    QVERIFY(rig.window->close());
    QCOMPARE(int(Read(path).size()), 2);
  }

  void loadAsksFirstAndAFailedLoadNamesTheFile() {
    QTemporaryDir dir;
    const QString tune = dir.filePath(QStringLiteral("tune.qvi"));
    WriteTuneFile(tune);
    SessionRig rig;
    QVERIFY(rig.created);
    RecordOneKey(rig);
    const auto recorded = rig.session->Recording().recording_events;

    // Unsaved: the question, No, then the dialog cancelled: all kept.
    rig.notices.answers = {QMessageBox::No};
    rig.Trigger(tonvale::IDM_FILE_OPEN);
    QCOMPARE(int(rig.notices.shown.size()), 1);
    QCOMPARE(int(rig.dialogs.asked.size()), 1);
    QVERIFY(SameSetup(rig.dialogs.asked[0].setup, tonvale::kLoadDialog));
    QVERIFY(rig.session->Document().modified_flag);
    QVERIFY(rig.session->Recording().recording_events == recorded);
    // Cancel at the question: no dialog at all.
    rig.notices.answers = {QMessageBox::Cancel};
    rig.Trigger(tonvale::IDM_FILE_OPEN);
    QCOMPARE(int(rig.dialogs.asked.size()), 1);

    // A load: key mode, bass, title and items from the file; program kept.
    rig.Trigger(tonvale::IDM_PROGRAM_FIRST + 40);
    rig.notices.answers = {QMessageBox::No};
    rig.dialogs.answers = {tune};
    rig.Trigger(tonvale::IDM_FILE_OPEN);
    QCOMPARE(rig.window->windowTitle(), Title("tune.qvi"));
    QCOMPARE(rig.Items(), kSavedItems);
    QCOMPARE(rig.session->Recording().recording_count(), 2u);
    QCOMPARE(rig.session->Playback().playback_count(), 2u);
    QVERIFY(rig.window->Commands().Find(1321)->isChecked());
    QVERIFY(rig.window->Commands().Find(tonvale::IDM_AUTO_BASS)->isChecked());
    QCOMPARE(rig.Inst().settings.program, 40);

    // A file that cannot be read: the message names the chosen file, the
    // title keeps the previous name, and save goes through save as.
    const QString missing = dir.filePath(QStringLiteral("gone.qvi"));
    rig.dialogs.answers = {missing};
    rig.notices.shown.clear();
    rig.Trigger(tonvale::IDM_FILE_OPEN);
    QCOMPARE(rig.notices.Boxes(), QStringLiteral("W %1|QV").arg(QString::fromStdString(
                                      FileMessage(tonvale::FileError::kCannotOpen, "gone.qvi"))));
    QCOMPARE(rig.notices.beeps,
             std::vector<tonvale::Notices::Icon>{tonvale::Notices::Icon::kWarning});
    QCOMPARE(rig.window->windowTitle(), Title("tune.qvi"));
    QCOMPARE(rig.Items(), kSavedItems);
    const int asked = int(rig.dialogs.asked.size());
    rig.Trigger(tonvale::IDM_FILE_SAVE_AS);
    QCOMPARE(int(rig.dialogs.asked.size()), asked + 1);
    QCOMPARE(rig.dialogs.asked.back().initial_path, missing);
  }

  void commandLineFilePlaysByItselfAndHoldsExport() {
    QTemporaryDir dir;
    const QString tune = dir.filePath(QStringLiteral("auto.qvi"));
    WriteTuneFile(tune);
    QElapsedTimer since;
    since.start();
    SessionRig rig([](RecordingSink&) {}, tune.toStdString());
    QVERIFY(rig.created);
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Tonvale - [%1]").arg(tune));
    QCOMPARE(rig.Items(), kHeldExportItems);
    QCOMPARE(rig.Inst().settings.key_mode, 1321);
    QCOMPARE(rig.Inst().settings.auto_bass, 1);
    // B minor shares D major's notes: key A, the "1", is note 62.
    QTRY_VERIFY_WITH_TIMEOUT(!rig.Notes().empty(), 5000);
    const qint64 first = since.elapsed();
    QVERIFY2(first >= 500, qPrintable(QString::number(first)));
    QVERIFY2(first < 3000, qPrintable(QString::number(first)));
    QCOMPARE(rig.Notes()[0], (std::vector<std::uint8_t>{0x90, 0x3E, 0x7F}));
    // The single play stops itself: export is offered from then on.
    QTRY_COMPARE_WITH_TIMEOUT(rig.Items(), kSavedItems, 5000);

    // Export: the Standard MIDI File dialog, then the file.
    const QString mid = dir.filePath(QStringLiteral("auto.mid"));
    rig.dialogs.answers = {mid};
    rig.Trigger(tonvale::IDM_EXPORT_MIDI);
    QVERIFY(SameSetup(rig.dialogs.asked.back().setup, tonvale::kExportDialog));
    QFile exported(mid);
    QVERIFY(exported.open(QIODevice::ReadOnly) && exported.read(4) == "MThd");
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Tonvale - [%1]").arg(tune));

    // With the device failing to open: loaded, nothing plays, export held.
    SessionRig closed([](RecordingSink& s) { s.fail_open = true; }, tune.toStdString());
    QVERIFY(closed.created);
    QCOMPARE(closed.Items(), kHeldExportItems);
    QVERIFY(!closed.window->AutoplayTimer().isActive());
    QTest::qWait(800);
    QVERIFY(!closed.session->Scheduler().Running());
    QCOMPARE(closed.Items(), kHeldExportItems);

    // A quoted name is taken as it stands and fails, naming it.
    const std::string quoted = "\"" + tune.toStdString() + "\"";
    SessionRig bad([](RecordingSink&) {}, quoted);
    QCOMPARE(bad.notices.Boxes(), QStringLiteral("W %1|QV").arg(QString::fromStdString(
                                      FileMessage(tonvale::FileError::kCannotOpen, quoted))));
    QCOMPARE(bad.window->windowTitle(), Title("未命名"));
    QCOMPARE(bad.Items(), kEmptyItems);
  }

  void aboutBoxAndHelpWindow() {
    SessionRig rig;
    QVERIFY(rig.created && rig.Show());
    // About: a modal box over the window; the command returns once it closed.
    tonvale::AboutBox* seen = nullptr;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<tonvale::AboutBox*>(QApplication::activeModalWidget())) {
        seen = box;
        QCOMPARE(box->parentWidget(), static_cast<QWidget*>(rig.window.get()));
        box->okButton()->click();
      }
    });
    answer.start(20);
    rig.Trigger(tonvale::IDM_ABOUT);
    answer.stop();
    QVERIFY(seen != nullptr && QApplication::activeModalWidget() == nullptr);
    // The hand's hot spot is its fingertip, on the picture.
    const QCursor hand = tonvale::LinkCursor();
    QCOMPARE(hand.hotSpot(), QPoint(9, 0));
    QCOMPARE(qAlpha(hand.pixmap().toImage().pixel(hand.hotSpot())), 255);

    // Help: one window, made on the first request and reused.
    QVERIFY(rig.session->Help().window() == nullptr);
    rig.Trigger(tonvale::IDM_HELP);
    tonvale::HelpWindow* help = rig.session->Help().window();
    QVERIFY(help != nullptr && help->isVisible());
    rig.Trigger(tonvale::IDM_HELP);
    QCOMPARE(rig.session->Help().window(), help);
  }
};

QTEST_MAIN(RecordingSessionTest)
#include "recording_session_test.moc"
