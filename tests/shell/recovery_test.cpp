// What the start offers back, answered by the test.
#include "shell/recovery.h"

#include <QTemporaryDir>
#include <fstream>

#include "files/kept_copy.h"
#include "left_files.h"
#include "window_rig.h"

using namespace tonvale;
using namespace tonvale::test;
namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

class RecoveryTest : public QObject {
  Q_OBJECT

 private slots:
  void eachLeftoverIsAskedAboutUntilATakeIsTaken() {
    QTemporaryDir dir;
    const fs::path state = dir.filePath("state").toStdString(), file = state / "rec.qvi";
    fs::create_directory(state);
    WriteLeft(file, "half new");
    WriteLeft(state / ".tonvale-00000001.old", "old");
    WriteLeft(state / "kept-00000001.note",
              KeptNoteBytes('R', file, state / ".tonvale-00000001.old"));
    const PerformanceEvent a{0, 256, 0x1E0001, 0}, d{0, 256, 0x200001, 0};
    WriteLeft(state / "take-0000000a.qvi", JournalBytes({a}), 1);
    WriteLeft(state / "take-0000000b.qvi", JournalBytes({d, d}), 2);
    WriteLeft(state / "take-0000000c.qvi", JournalBytes({}), 3);
    FakeNotices notices;
    const QString copy_question =
        QString::fromUtf8("Q 保存文件%1时程序意外中断，是否恢复它原来的内容？|QV")
            .arg(QString::fromStdString(file.string()));
    const QString take_question = QString::fromUtf8("Q 上次的录音没有保存，是否恢复？|QV");

    // Told to end while the first question is up: nothing is touched.
    notices.answers = {QMessageBox::No};
    QVERIFY(!OfferLeftovers(notices, state, [] { return true; }));
    QCOMPARE(notices.boxes, QStringList{copy_question});
    QCOMPARE(Read(state / ".tonvale-00000001.old"), "old");

    // The copy goes back into its file; the newest take is thrown away,
    // the next one taken; the empty journal was never asked about.
    notices.boxes.clear();
    notices.answers = {QMessageBox::Yes, QMessageBox::No, QMessageBox::Yes};
    std::optional<RecoveredTake> taken = OfferLeftovers(notices, state, [] { return false; });
    QCOMPARE(notices.boxes, (QStringList{copy_question, take_question, take_question}));
    QCOMPARE(notices.owners, std::vector<QWidget*>(4, nullptr));
    QVERIFY(taken && taken->take.events == std::vector<PerformanceEvent>({d, d}));
    QCOMPARE(Read(file), "old");
    QVERIFY(!fs::exists(state / "take-0000000a.qvi") && !fs::exists(state / "take-0000000c.qvi"));
    // rec.qvi and the take being taken, held until this run journals it.
    QCOMPARE(std::distance(fs::directory_iterator(state), {}), 2);
  }
};

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
