// Practising a song in the window: only the wiring; the rules of judging are
// the practice core's and are tested there.
#include "shell/song_practice.h"

#include <unistd.h>

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>

#include "record/clock.h"
#include "shell/practice_commands.h"
#include "shell/recording_session.h"
#include "shell/song_band.h"
#include "window_rig.h"

using namespace tonvale;
using namespace tonvale::test;

namespace {

namespace fs = std::filesystem;

// What the practice writes on standard error meanwhile.
struct StderrCapture {
  std::FILE* file = std::tmpfile();
  int saved = (std::fflush(stderr), dup(2));
  StderrCapture() { dup2(fileno(file), 2); }
  ~StderrCapture() {
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::fclose(file);
  }
  QString Text() {
    std::fflush(stderr);
    char text[4096];
    return QString::fromUtf8(text, std::max<ssize_t>(0, pread(fileno(file), text, 4096, 0)));
  }
};

struct PracticeRig : WindowRig {
  QTemporaryDir dir;
  FakeDialogs dialogs;
  SettableMillisecondClock clock{1000};
  FrozenTimer playback_timer;  // the recording plays until it is stopped
  InstantTimer listen_timer;   // listening hands every event over at once
  RecordingSession session{*window, notices, dialogs, clock, playback_timer};
  SongPractice practice{*window, session, notices, dialogs, clock, listen_timer, Songs()};

  fs::path Songs() const { return fs::path(dir.path().toStdString()) / "songs"; }
  fs::path Write(const char* name, const char* text) const {
    const fs::path path = fs::path(dir.path().toStdString()) / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  bool Open(const fs::path& path) {
    return practice.Open(path, QString::fromStdString(path.filename().string()));
  }
  // A key by its scan code (A = 30, S = 31, D = 32, F = 33).
  void Tap(quint32 scan) { Stroke(Qt::Key_A, scan + 8); }
  // The song commands: "EEGE" enabled or greyed (open, start, stop, close),
  // then the checked mode and speed.
  QString Items() const {
    QString items;
    for (int id = IDM_SONG_OPEN; id <= IDM_SONG_CLOSE; ++id)
      items += window->Commands().Find(id)->isEnabled() ? 'E' : 'G';
    for (int id = IDM_SONG_WAITING; id <= IDM_SONG_SPEED_FIRST + 3; ++id) {
      const QAction* a = window->Commands().Find(id);
      if (a != nullptr && a->isChecked()) items += ' ' + QString::number(id);
    }
    return items;
  }
  bool BandShown() { return practice.Band().isVisible(); }
  // How many pixels of `colour` the band shows in the column of `note`.
  int Pixels(std::int32_t note, QColor colour) {
    const QImage band = practice.Band().grab().toImage();
    const std::vector<BandItem>& items = practice.Band().Layout().items;
    const QRect r = practice.Band().ItemRect(
        std::find_if(items.begin(), items.end(),
                     [&](auto& i) { return i.kind == BandItemKind::kNote && i.note == note; }) -
        items.begin());
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) count += band.pixelColor(x, y) == colour;
    return count;
  }
};

// "1 2 3 -": keys A, S, D.
const char* kThreeNotes = "title=小曲\n1=C 4/4 4=120\n1 2 3 - |\n";

}  // namespace

class SongPracticeTest : public QObject {
  Q_OBJECT

 private slots:
  void theMenuOpensSongsAndABadOneChangesNothing() {
    PracticeRig rig;
    QVERIFY(rig.Show());
    // A ninth menu after the eight, which keep their places.
    QStringList titles;
    for (QAction* a : rig.window->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles.join(' '), QString::fromUtf8("开关(&1) 乐器(&2) 调式(&3) 录音(&4) 功能(&5) "
                                                 "设备(&6) 声道(&7) 帮助(&8) 练习(&9)"));
    QCOMPARE(rig.Items(), "EGGG 1364 1371");
    // The dialog starts among the songs that come with Tonvale.
    rig.Trigger(IDM_SONG_OPEN);
    QCOMPARE(rig.dialogs.asked.last(),
             "open *.txt *.qvi " + QString::fromStdString((rig.Songs() / "").string()));
    // A bad song: its line, word and reason, and nothing opens.
    const fs::path bad = rig.Write("bad.txt", "1=C\n1 2 z 3 |\n");
    rig.dialogs.answers << QString::fromStdString(bad.string());
    rig.Trigger(IDM_SONG_OPEN);
    QCOMPARE(rig.notices.boxes.last(),
             QString::fromUtf8("W 歌曲bad.txt第2行的“z”：不认识的记号.|QV"));
    QCOMPARE(rig.notices.beeps.back(), Notices::Icon::kWarning);
    QVERIFY(!rig.BandShown() && rig.practice.CurrentSong() == nullptr);
    // A good one in D: the key mode follows; waiting starts.
    const fs::path good = rig.Write("good.txt", "title=小曲\n1=D 4/4\n1 2 3 - |\n");
    rig.dialogs.answers << QString::fromStdString(good.string());
    rig.Trigger(IDM_SONG_OPEN);
    QVERIFY(rig.BandShown() && rig.practice.Session()->Running());
    QCOMPARE(rig.Inst().settings.key_mode, 1298);
    QVERIFY(rig.window->Commands().Find(1298)->isChecked());
    QCOMPARE(rig.Items(), "EEEE 1364 1371");
    // The next dialog starts at that song; a bad one leaves it open and running.
    rig.dialogs.answers << QString::fromStdString(bad.string());
    rig.Trigger(IDM_SONG_OPEN);
    QVERIFY(rig.dialogs.asked.last().endsWith(QString::fromStdString(good.string())));
    QCOMPARE(rig.notices.boxes.size(), 2);
    QCOMPARE(rig.practice.CurrentSong()->title, "小曲");
    QVERIFY(rig.practice.Session()->Running());
  }

  void waitingJudgesRealKeysAndGivesTheResult() {
    PracticeRig rig;
    QVERIFY(rig.Show());
    StderrCapture err;
    QVERIFY(rig.Open(rig.Write("three.txt", kThreeNotes)));
    // The next key is marked on the keyboard (drawn as the pictures test shows).
    QCOMPARE(rig.Client().HintKey(), 30);
    rig.Tap(30);
    QCOMPARE(rig.Client().HintKey(), 31);
    // G is a wrong one, and sounds as always; Esc silences and leaves the
    // song where it was.
    rig.Tap(34);
    rig.Stroke(Qt::Key_Escape, 9, QStringLiteral("\x1b"));
    QVERIFY(rig.BandShown() && rig.practice.Session()->Running());
    QCOMPARE(rig.Client().HintKey(), 31);
    rig.Tap(31);
    // Recording goes on while practising.
    rig.Trigger(1283);
    rig.Tap(32);
    rig.Trigger(1284);
    QCOMPARE(rig.session.Recording().recording_events.size(), 2u);
    QVERIFY(rig.Sent().contains("90 43 7f"));
    // The end: the result on standard error and in the status line.
    QCOMPARE(err.Text(), "tonvale: practice \"小曲\": 2 of 3 notes right\n");
    QCOMPARE(rig.Client().PracticeStatus(), QString::fromUtf8("《小曲》跟弹：3 个音弹对 2 个"));
    QCOMPARE(rig.Client().HintKey(), -1);
    QCOMPARE(rig.Items(), "EEGE 1364 1371");
    // The band shows 1 right (green) and 2 wrong (red).
    QVERIFY(rig.Pixels(0, QColor(20, 130, 45)) > 10);
    QVERIFY(rig.Pixels(1, QColor(200, 35, 25)) > 10);
    QCOMPARE(rig.Pixels(1, QColor(20, 130, 45)), 0);

    // A song longer than the band: it moves on to the line of the next note.
    std::string many = "1=C 4/4\n";
    for (int bar = 0; bar < 16; ++bar) many += "1 1 1 1 |\n";
    QVERIFY(rig.Open(rig.Write("many.txt", many.c_str())));
    const SongBand& band = rig.practice.Band();
    QVERIFY(band.Layout().lines.size() > 2);
    const std::int32_t second = band.Layout().lines[1].first_note;
    for (std::int32_t n = 0; n < second; ++n) rig.Tap(30);
    QCOMPARE(band.CurrentLine(), 1u);
  }

  void playingAlongCountsInAndListeningTakesTurnsWithTheRecording() {
    PracticeRig rig;
    QVERIFY(rig.Show());
    StderrCapture err;
    // A title that looks like a placeholder stays as it is written.
    QVERIFY(rig.Open(rig.Write("four.txt", "title=四音%3\n1=C 4/4 4=120\n1 2 3 4 |\n")));
    // Switched while waiting: waiting ends with its result. After a bar of
    // count-in, notes at 2000, 2500, 3000, 3500 ms: 20 ms late, 10 early,
    // none, 30 late.
    rig.Trigger(IDM_SONG_PLAY_ALONG);
    QCOMPARE(rig.Items(), "EEEE 1365 1371");
    rig.clock.Advance(2020);
    rig.Tap(30);
    rig.clock.Advance(470);
    rig.Tap(31);
    rig.clock.Advance(1040);
    rig.Tap(33);
    rig.clock.Advance(1000);
    // The practice's timer sees the clock when it next fires.
    QTRY_COMPARE(err.Text(),
                 "tonvale: practice \"四音%3\": 0 of 4 notes right\n"
                 "tonvale: practice \"四音%3\": 3 of 4 notes right, timing median 20 ms\n");
    QCOMPARE(rig.Client().PracticeStatus(),
             QString::fromUtf8("《四音%3》随拍 100%：4 个音弹对 3 个，时间差中位数 20 毫秒"));

    // A recording to play: one key.
    rig.Trigger(1283);
    rig.Tap(30);
    rig.Trigger(1284);
    // Listening at half speed: the song's notes in order, the keys lit.
    rig.Trigger(IDM_SONG_SPEED_FIRST + 1);
    rig.Trigger(IDM_SONG_LISTEN);
    QCOMPARE(rig.Items(), "EEGE 1366 1369");  // chosen, not yet started
    rig.sink.Clear();
    rig.Trigger(IDM_SONG_START);
    QTRY_COMPARE(rig.Sent(),
                 "90 3c 7f,80 3c 00,90 3e 7f,80 3e 00,"
                 "90 40 7f,80 40 00,90 41 7f,80 41 00");
    // Playing the recording ends the listening, silencing what it played;
    // starting the practice again stops the recording's playback.
    rig.sink.Clear();
    rig.Trigger(1285);
    QVERIFY(!rig.practice.Session()->Running() && !rig.practice.ListenScheduler().Running());
    QCOMPARE(rig.Sent(), Dump(AllNotesOff()));
    QVERIFY(rig.session.Playing());
    rig.Trigger(IDM_SONG_START);
    QVERIFY(!rig.session.Playing() && rig.practice.Session()->Running());
    // Listening has no result; at the end every channel is silenced again.
    rig.sink.Clear();
    rig.clock.Advance(5000);
    QTRY_VERIFY(!rig.practice.Session()->Running());
    QTRY_VERIFY(rig.Sent().endsWith(Dump(AllNotesOff())));
    QCOMPARE(err.Text().count('\n'), 2);
  }

  void withoutASongTheWindowIsAsBefore() {
    // A window short enough that the band moves the keyboard down, first
    // as it is without any practice.
    QImage before;
    WindowLayout layout;
    {
      WindowRig plain;
      QVERIFY(plain.Show());
      plain.ResizeClient(900, 600);
      before = plain.Client().grab().toImage();
      layout = plain.Client().Layout();
    }

    PracticeRig rig;
    QVERIFY(rig.Show());
    rig.ResizeClient(900, 600);
    QCOMPARE(rig.Client().grab().toImage(), before);
    QVERIFY(rig.Open(rig.Write("c.txt", kThreeNotes)));
    QVERIFY(rig.Client().Layout().y0 > layout.y0);
    rig.Trigger(IDM_SONG_CLOSE);
    QCOMPARE(rig.Items(), "EGGG 1364 1371");
    QCOMPARE(rig.Client().Layout().y0, layout.y0);
    QCOMPARE(rig.Client().grab().toImage(), before);
  }
};

QTEST_MAIN(SongPracticeTest)
#include "song_practice_test.moc"
