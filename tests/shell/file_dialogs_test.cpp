// The real file dialogs: filter, default extension, initial name, and the
// question before a name that does not exist is loaded.
#include "shell/file_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using tonvale::FileDialog;

class FileDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void setUpFromItsSetup() {
    QTemporaryDir dir;
    const QString initial = dir.filePath(QStringLiteral("old.qvi"));
    FileDialog load(nullptr, tonvale::kLoadDialog, initial);
    QCOMPARE(load.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(load.nameFilters(), QStringList{QStringLiteral("QVI Files(*.QVI) (*.qvi)")});
    QCOMPARE(load.defaultSuffix(), QStringLiteral("qvi"));
    QCOMPARE(load.directory().absolutePath(), QDir(dir.path()).absolutePath());
    // The combo box shows the description alone.
    const auto* combo = load.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->currentText(), QStringLiteral("QVI Files(*.QVI)"));

    // Save adds the default extension and asks before overwriting.
    FileDialog save(nullptr, tonvale::kSaveDialog, dir.filePath(QStringLiteral("tune")));
    QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(!save.testOption(QFileDialog::DontConfirmOverwrite));
    save.open();
    save.accept();
    QCOMPARE(save.result(), int(QDialog::Accepted));
    QCOMPARE(save.selectedFiles(), QStringList{dir.filePath(QStringLiteral("tune.qvi"))});
    FileDialog out(nullptr, tonvale::kExportDialog, QString());
    QCOMPARE(out.nameFilters(), QStringList{QStringLiteral("Midi Files(*.MID) (*.mid)")});
    QCOMPARE(out.defaultSuffix(), QStringLiteral("mid"));
    QCOMPARE(out.acceptMode(), QFileDialog::AcceptSave);
  }

  void loadAsksBeforeTakingANameThatDoesNotExist() {
    QTemporaryDir dir;
    QFile here(dir.filePath(QStringLiteral("here.qvi")));
    QVERIFY(here.open(QIODevice::WriteOnly));
    QStringList asked;
    bool answer = false;
    const auto question = [&](QWidget*, const QString& path) {
      asked << path;
      return answer;
    };

    // An existing file is taken without a question.
    FileDialog existing(nullptr, tonvale::kLoadDialog, dir.filePath(QStringLiteral("here.qvi")));
    existing.SetCreateQuestion(question);
    existing.open();
    existing.accept();
    QCOMPARE(existing.result(), int(QDialog::Accepted));
    QVERIFY(asked.isEmpty());

    // No: the dialog stays open. Yes: the name is taken.
    const QString fresh = dir.filePath(QStringLiteral("new.qvi"));
    FileDialog dialog(nullptr, tonvale::kLoadDialog, fresh);
    dialog.SetCreateQuestion(question);
    dialog.open();
    dialog.accept();
    QCOMPARE(asked, QStringList{fresh});
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    answer = true;
    dialog.accept();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.selectedFiles(), QStringList{fresh});
    QVERIFY(!QFile::exists(fresh));  // the dialog itself creates nothing
  }
};

QTEST_MAIN(FileDialogsTest)
#include "file_dialogs_test.moc"
