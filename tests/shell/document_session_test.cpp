// The file commands in the window: save through save as, the save question
// on close and on load, a failed load, the command-line file that plays by
// itself, export; About and help.
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "files/file_error.h"
#include "files/qvi_file.h"
#include "files/safe_write.h"
#include "help/about_box.h"
#include "help/help_window.h"
#include "help/link_label.h"
#include "session_rig.h"

using tonvale::FileDialogSetup;
using tonvale::PerformanceEvent;
using tonvale::test::kEmptyItems;
using tonvale::test::kHeldExportItems;
using tonvale::test::kReadyItems;
using tonvale::test::kSavedItems;
using tonvale::test::RecordingSink;
using tonvale::test::SessionRig;

namespace {

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

class DocumentSessionTest : public QObject {
  Q_OBJECT

 private slots:
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
    QCOMPARE(int(rig.notices.shown.size()), 1);
    const auto& question = rig.notices.shown[0];
    QCOMPARE(question.text, QString::fromUtf8("保存当前的变化在 未命名?"));
    QCOMPARE(question.icon, tonvale::Notices::Icon::kQuestion);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(question.owner, static_cast<QWidget*>(rig.window.get()));

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

    // The session ending asks the same question; No closes without writing.
    SessionRig other;
    RecordOneKey(other);
    other.notices.answers = {QMessageBox::Cancel, QMessageBox::No, QMessageBox::No};
    QVERIFY(!other.session->MayEndSession());
    QVERIFY(other.session->MayEndSession());
    QVERIFY(other.window->close());
    QCOMPARE(int(other.notices.shown.size()), 3);
    QVERIFY(other.dialogs.asked.empty());
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
    QVERIFY(!rig.window->Commands().Find(1297)->isChecked());
    QVERIFY(rig.window->Commands().Find(tonvale::IDM_AUTO_BASS)->isChecked());
    QCOMPARE(rig.Inst().settings.program, 40);

    // A file that cannot be read: the message names the chosen file, the
    // title keeps the previous name, and save goes through save as.
    const QString missing = dir.filePath(QStringLiteral("gone.qvi"));
    rig.dialogs.answers = {missing};
    rig.notices.shown.clear();
    rig.Trigger(tonvale::IDM_FILE_OPEN);
    QCOMPARE(int(rig.notices.shown.size()), 1);
    QCOMPARE(rig.notices.shown[0].text, QString::fromStdString(tonvale::FileMessage(
                                            tonvale::FileError::kCannotOpen, "gone.qvi")));
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
    QCOMPARE(int(bad.notices.shown.size()), 1);
    QCOMPARE(bad.notices.shown[0].text,
             QString::fromStdString(tonvale::FileMessage(tonvale::FileError::kCannotOpen, quoted)));
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
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
      windows += qobject_cast<tonvale::HelpWindow*>(w) != nullptr;
    QCOMPARE(windows, 1);
  }
};

QTEST_MAIN(DocumentSessionTest)
#include "document_session_test.moc"
