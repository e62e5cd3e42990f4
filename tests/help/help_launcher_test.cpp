// The help command: one search on the first request, the window reused
// afterwards, and silence when the pages are missing.
#include "help/help_launcher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "help/help_folder.h"
#include "help/help_window.h"

using tonvale::HelpLauncher;

namespace {

void WritePage(const QString& path, const QString& title, const QString& body) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(("<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" +
              body + "</body></html>")
                 .toUtf8());
}

}  // namespace

class HelpLauncherTest : public QObject {
  Q_OBJECT

 private slots:
  void firstRequestFindsAndOpensLaterOnesReuse();
  void missingPagesDoNothingAndAreNotSearchedAgain();
  void searchTakesFirstFolderWithTheStartPage();
};

void HelpLauncherTest::firstRequestFindsAndOpensLaterOnesReuse() {
  QTemporaryDir pages;
  QVERIFY(pages.isValid());
  const QDir dir(pages.path());
  WritePage(dir.filePath("default.htm"), "起始页", "<p>欢迎</p><a href=\"second.htm\">第二页</a>");
  WritePage(dir.filePath("second.htm"), "第二页", "<p>第二页的内容</p>");

  int searches = 0;
  HelpLauncher help([&] {
    ++searches;
    return pages.path();
  });
  QVERIFY(help.window() == nullptr);  // nothing happens before the first request
  help.Open();
  QCOMPARE(searches, 1);
  tonvale::HelpWindow* window = help.window();
  QVERIFY(window != nullptr && window->isVisible());
  QVERIFY(window->parentWidget() == nullptr);  // owned by no window
  QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));
  const QUrl start = QUrl::fromLocalFile(dir.filePath("default.htm"));
  QCOMPARE(window->browser()->source(), start);
  QVERIFY(window->browser()->toPlainText().contains("欢迎"));
  QVERIFY(window->windowTitle().contains("起始页"));

  // Read on, close, ask again: same window, back at the start page, no search;
  // and none even once the pages are gone.
  window->browser()->setSource(QUrl::fromLocalFile(dir.filePath("second.htm")));
  QVERIFY(window->browser()->toPlainText().contains("第二页的内容"));
  window->close();
  help.Open();
  QCOMPARE(searches, 1);
  QCOMPARE(help.window(), window);
  QVERIFY(window->isVisible());
  QCOMPARE(window->browser()->source(), start);
  QVERIFY(QFile::remove(dir.filePath("default.htm")) && QFile::remove(dir.filePath("second.htm")));
  help.Open();
  QCOMPARE(searches, 1);
  QCOMPARE(help.window(), window);
}

void HelpLauncherTest::missingPagesDoNothingAndAreNotSearchedAgain() {
  const int widgets_before = QApplication::topLevelWidgets().size();
  int searches = 0;
  HelpLauncher help([&] {
    ++searches;
    return QString();
  });
  for (int i = 0; i < 3; ++i) help.Open();
  QCOMPARE(searches, 1);
  QVERIFY(help.window() == nullptr);
  QCOMPARE(QApplication::topLevelWidgets().size(), widgets_before);  // no message box either
}

void HelpLauncherTest::searchTakesFirstFolderWithTheStartPage() {
  QTemporaryDir root;
  QVERIFY(root.isValid());
  const QDir dir(root.path());
  for (const char* name : {"empty", "other", "first", "second", "folder"}) QVERIFY(dir.mkdir(name));
  WritePage(dir.filePath("other/index.htm"), "x", "x");
  WritePage(dir.filePath("first/default.htm"), "x", "x");
  WritePage(dir.filePath("second/default.htm"), "x", "x");
  QVERIFY(QDir(dir.filePath("folder")).mkdir("default.htm"));  // a folder is no page
  const QString missing = dir.filePath("missing"), empty = dir.filePath("empty"),
                folder = dir.filePath("folder"), first = dir.filePath("first"),
                second = dir.filePath("second");
  QCOMPARE(tonvale::FindHelpFolder({missing, empty, dir.filePath("other"), folder, first, second}),
           first);
  QCOMPARE(tonvale::FindHelpFolder({second, first}), second);
  QVERIFY(tonvale::FindHelpFolder({missing, empty, folder}).isEmpty());

  // From the build tree: a portable "help" beside the program first, then the
  // source tree's pages, before the installed copies; the real search opens them.
  const QStringList candidates = tonvale::HelpFolderCandidates();
  QCOMPARE(candidates.size(), 4);
  QCOMPARE(candidates[0], QDir(QCoreApplication::applicationDirPath()).filePath("help"));
  QCOMPARE(candidates[1], QStringLiteral(TONVALE_SOURCE_HELP_DIR));
  HelpLauncher help;
  help.Open();
  QVERIFY(help.window() != nullptr);
  QCOMPARE(help.window()->browser()->source(),
           QUrl::fromLocalFile(QDir(TONVALE_SOURCE_HELP_DIR).filePath("default.htm")));
  QCOMPARE(help.window()->windowTitle(), QString("Tonvale 帮助 - Tonvale 帮助"));
}

QTEST_MAIN(HelpLauncherTest)
#include "help_launcher_test.moc"
