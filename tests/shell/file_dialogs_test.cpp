// The real file dialogs: filter, default extension, the create question.
#include "shell/file_dialogs.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

class FileDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void extensionFilterAndTheCreateQuestion() {
    QTemporaryDir dir;
    tonvale::FileDialog save(nullptr, tonvale::kSaveDialog, dir.filePath("tune"));
    QCOMPARE(save.findChild<QComboBox*>("fileTypeCombo")->currentText(), "QVI Files(*.QVI)");
    save.open();
    save.accept();
    QCOMPARE(save.selectedFiles(), QStringList{dir.filePath("tune.qvi")});
    // Load: a name that does not exist is taken only after a Yes, and not created.
    const QString fresh = dir.filePath("new.qvi");
    QStringList asked;
    bool answer = false;
    tonvale::FileDialog load(nullptr, tonvale::kLoadDialog, fresh);
    load.SetCreateQuestion([&](QWidget*, const QString& path) { return asked << path, answer; });
    load.open();
    load.accept();
    QVERIFY(load.isVisible());
    answer = true;
    load.accept();
    QCOMPARE(asked, QStringList({fresh, fresh}));
    QCOMPARE(load.selectedFiles(), QStringList{fresh});
    QVERIFY(load.result() == QDialog::Accepted && !QFile::exists(fresh));
  }
};

QTEST_MAIN(FileDialogsTest)
#include "file_dialogs_test.moc"
