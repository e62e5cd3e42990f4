// Recording, playback and the transport in the window: every item and
// button after real commands, playback through the real scheduler into a
// recording sink, stop that is final, and closing during playback.
#include <QTest>
#include <thread>

#include "record/transport.h"
#include "session_rig.h"

using tonvale::test::AllNotesOff;
using tonvale::test::ByteList;
using tonvale::test::Concat;
using tonvale::test::Dump;
using tonvale::test::kEmptyItems;
using tonvale::test::kPlayingItems;
using tonvale::test::kReadyItems;
using tonvale::test::kRecordingItems;
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

const ByteList kTuneNotes = {{0x90, 0x3C, 0x7F},
                             {0x80, 0x3C, 0x00},
                             {0x90, 0x40, 0x7F},
                             {0x80, 0x40, 0x00},
                             {0x90, 0x43, 0x7F}};
// When each note is due after play, in ms (the recorded deltas added up).
const std::vector<qint64> kTuneDue = {50, 90, 150, 190, 220};

bool NoKeyDrawnPressed(SessionRig& rig) {
  for (quint32 scan : {kScanA, kScanD, kScanG}) {
    if (rig.Client().KeyMarkPressed(scan)) return false;
  }
  return true;
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
    QCOMPARE(int(rig.notices.shown.size()), 1);
    const auto& notice = rig.notices.shown.back();
    QCOMPARE(notice.text, QString::fromUtf8("请打开开关"));
    QCOMPARE(notice.caption, QString::fromUtf8("提示"));
    QCOMPARE(notice.icon, tonvale::Notices::Icon::kNone);
    QCOMPARE(notice.owner, static_cast<QWidget*>(rig.window.get()));
    QCOMPARE(notice.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
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
    QCOMPARE(rig.Sent(), Dump(Concat(kTuneNotes, AllNotesOff())));
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
    QCOMPARE(Dump(rig.Notes()), Dump({{0x92, 0x3C, 0x7F},
                                      {0x9F, 0x30, 0x7F},
                                      {0x82, 0x3C, 0x00},
                                      {0x8F, 0x30, 0x00},
                                      {0x92, 0x40, 0x7F},
                                      {0x9F, 0x34, 0x7F},
                                      {0x82, 0x40, 0x00},
                                      {0x8F, 0x34, 0x00},
                                      {0x92, 0x43, 0x7F},
                                      {0x9F, 0x37, 0x7F}}));
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
      QCOMPARE(Dump({notes[i]}), Dump({kTuneNotes[i % kTuneNotes.size()]}));
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
    // Unsaved: the question first; Cancel keeps the window and the playback.
    rig.notices.answers = {QMessageBox::Cancel, QMessageBox::No};
    QVERIFY(!rig.window->close());
    QVERIFY(rig.session->Scheduler().Running());
    QCOMPARE(rig.Items(), kPlayingItems);
    rig.sink.Clear();
    QVERIFY(rig.window->close());
    QVERIFY(!ran_at_close);
    QVERIFY(!rig.session->Scheduler().Running());
    QCOMPARE(rig.session->Playback().playback_count(), 0u);
    QCOMPARE(rig.session->Recording().recording_count(), 0u);
    QTest::qWait(300);
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
    QCOMPARE(rig.sink.opened_device, -2);
  }
};

QTEST_MAIN(RecordingSessionTest)
#include "recording_session_test.moc"
