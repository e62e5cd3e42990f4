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

void WritePage(const QDir& dir, const QString& name, const QString& title, const QString& body) {
  QFile file(dir.filePath(name));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(("<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body>" +
              body + "</body></html>")
                 .toUtf8());
}

int VisibleTopLevels() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) count += widget->isVisible() ? 1 : 0;
  return count;
}

}  // namespace

class HelpLauncherTest : public QObject {
  Q_OBJECT

 private slots:
  void firstRequestFindsAndOpensLaterOnesReuse();
  void missingPagesDoNothingAndAreNotSearchedAgain();
  void searchTakesFirstFolderWithTheStartPage();
  void buildTreeFindsTheSourcePages();
};

void HelpLauncherTest::firstRequestFindsAndOpensLaterOnesReuse() {
  QTemporaryDir pages;
  QVERIFY(pages.isValid());
  WritePage(QDir(pages.path()), "default.htm", "起始页",
            "<p>欢迎</p><a href=\"second.htm\">第二页</a>");
  WritePage(QDir(pages.path()), "second.htm", "第二页", "<p>第二页的内容</p>");

  int searches = 0;
  HelpLauncher help([&] {
    ++searches;
    return pages.path();
  });
  QVERIFY(help.window() == nullptr);  // nothing happens before the first request

  help.Open();
  QCOMPARE(searches, 1);
  tonvale::HelpWindow* window = help.window();
  QVERIFY(window != nullptr);
  QVERIFY(window->isVisible());
  QVERIFY(window->isWindow());
  QVERIFY(window->parentWidget() == nullptr);  // owned by no window
  QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));
  const QUrl start = QUrl::fromLocalFile(QDir(pages.path()).filePath("default.htm"));
  QCOMPARE(window->browser()->source(), start);
  QVERIFY(window->browser()->toPlainText().contains("欢迎"));
  QVERIFY(window->windowTitle().contains("起始页"));

  // Read on, close the window, ask again: same window, start page, no search.
  window->browser()->setSource(QUrl::fromLocalFile(QDir(pages.path()).filePath("second.htm")));
  QVERIFY(window->browser()->toPlainText().contains("第二页的内容"));
  window->close();
  QVERIFY(!window->isVisible());
  help.Open();
  QCOMPARE(searches, 1);
  QCOMPARE(help.window(), window);
  QVERIFY(window->isVisible());
  QCOMPARE(window->browser()->source(), start);

  // Even with the pages gone, no new search is made.
  QVERIFY(QFile::remove(QDir(pages.path()).filePath("default.htm")));
  QVERIFY(QFile::remove(QDir(pages.path()).filePath("second.htm")));
  help.Open();
  QCOMPARE(searches, 1);
  QCOMPARE(help.window(), window);
}

void HelpLauncherTest::missingPagesDoNothingAndAreNotSearchedAgain() {
  const int before = VisibleTopLevels();
  const int widgets_before = QApplication::topLevelWidgets().size();
  int searches = 0;
  HelpLauncher help([&] {
    ++searches;
    return QString();
  });
  help.Open();
  QCOMPARE(searches, 1);
  QVERIFY(help.window() == nullptr);
  QCOMPARE(VisibleTopLevels(), before);
  QCOMPARE(QApplication::topLevelWidgets().size(), widgets_before);  // no message box either
  help.Open();
  help.Open();
  QCOMPARE(searches, 1);
  QVERIFY(help.window() == nullptr);
}

void HelpLauncherTest::searchTakesFirstFolderWithTheStartPage() {
  QTemporaryDir root;
  QVERIFY(root.isValid());
  QDir dir(root.path());
  for (const char* name : {"empty", "other", "first", "second", "folder"}) QVERIFY(dir.mkdir(name));
  WritePage(QDir(dir.filePath("other")), "index.htm", "x", "x");
  WritePage(QDir(dir.filePath("first")), "default.htm", "x", "x");
  WritePage(QDir(dir.filePath("second")), "default.htm", "x", "x");
  QVERIFY(QDir(dir.filePath("folder")).mkdir("default.htm"));  // a folder is no page

  const QString missing = dir.filePath("missing");
  QCOMPARE(tonvale::FindHelpFolder({missing, dir.filePath("empty"), dir.filePath("other"),
                                    dir.filePath("folder"), dir.filePath("first"),
                                    dir.filePath("second")}),
           dir.filePath("first"));
  QCOMPARE(tonvale::FindHelpFolder({dir.filePath("second"), dir.filePath("first")}),
           dir.filePath("second"));
  QVERIFY(
      tonvale::FindHelpFolder({missing, dir.filePath("empty"), dir.filePath("folder")}).isEmpty());
  QVERIFY(tonvale::FindHelpFolder(QStringList{}).isEmpty());
}

void HelpLauncherTest::buildTreeFindsTheSourcePages() {
  // This test runs from the build tree: a portable "help" beside it comes
  // first, then the source tree's pages, before any installed copy.
  const QStringList candidates = tonvale::HelpFolderCandidates();
  QCOMPARE(candidates.value(0), QDir(QCoreApplication::applicationDirPath()).filePath("help"));
  const int source = candidates.indexOf(QStringLiteral(TONVALE_SOURCE_HELP_DIR));
  QCOMPARE(source, 1);
  QCOMPARE(candidates.size(), 4);

  HelpLauncher help;  // the real search
  help.Open();
  QVERIFY(help.window() != nullptr);
  QCOMPARE(help.window()->browser()->source(),
           QUrl::fromLocalFile(QDir(TONVALE_SOURCE_HELP_DIR).filePath("default.htm")));
  QVERIFY(help.window()->browser()->toPlainText().contains("Tonvale"));
  QCOMPARE(help.window()->windowTitle(), QString("Tonvale 帮助 - Tonvale 帮助"));
}

QTEST_MAIN(HelpLauncherTest)
#include "help_launcher_test.moc"
