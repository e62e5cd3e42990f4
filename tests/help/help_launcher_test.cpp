// The help command and window, and the help pages.
#include "help/help_launcher.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QtTest>

#include "help/help_window.h"

class HelpLauncherTest : public QObject {
  Q_OBJECT

 private slots:
  void firstRequestSearchesLaterOnesReuse() {
    const QDir pages(TONVALE_SOURCE_HELP_DIR);
    int searches = 0;
    tonvale::HelpLauncher help([&] { return ++searches, pages.path(); });
    QVERIFY(help.window() == nullptr);  // nothing before the first request
    help.Open();
    tonvale::HelpWindow* window = help.window();
    QVERIFY(window->isVisible() && window->parentWidget() == nullptr);
    QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));
    QCOMPARE(window->windowTitle(), QString::fromUtf8("Tonvale 帮助"));  // the start page's
    window->browser()->setSource(QUrl::fromLocalFile(pages.filePath("keymode.htm")));
    QCOMPARE(window->windowTitle(),
             QString::fromUtf8("Tonvale 帮助 - ") + window->browser()->documentTitle());
    // Closed and asked again: the same window at the start page, no search.
    window->close();
    help.Open();
    QVERIFY(searches == 1 && help.window() == window && window->isVisible());
    QCOMPARE(window->browser()->source(), QUrl::fromLocalFile(pages.filePath("default.htm")));
    // Missing pages: nothing opens, no message, and no second search.
    tonvale::HelpLauncher none([&] { return ++searches, QString(); });
    const int widgets = QApplication::topLevelWidgets().size();
    none.Open();
    none.Open();
    QVERIFY(searches == 2 && QApplication::topLevelWidgets().size() == widgets);
  }

  // Every page in Chinese and in English: UTF-8, one title, links that lead
  // somewhere, linked from the start.
  void pagesAreWellFormedAndLinked() {
    static const QRegularExpression link(R"re((?:href|src)="([^"#:]*)(#[^"]*)?")re");
    static const QRegularExpression chinese("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]");
    const QStringList pages = QDir(TONVALE_SOURCE_HELP_DIR).entryList({"*.htm"});
    QVERIFY(pages.size() >= 7);
    for (const QString& language : {QString(), QStringLiteral("en")}) {
      const QDir dir(QDir(TONVALE_SOURCE_HELP_DIR).filePath(language));
      QCOMPARE(dir.entryList({"*.htm"}), pages);
      const auto read = [&dir](const QString& name) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
      };
      const QString start = QString::fromUtf8(read("default.htm"));
      for (const QString& name : pages) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(read(name));
        QVERIFY2(!utf8.hasError() && text.count("<title>") == 1, qPrintable(name));
        QVERIFY2(name == "default.htm" || start.contains("href=\"" + name + '"'), qPrintable(name));
        for (const QRegularExpressionMatch& m : link.globalMatch(text))
          QVERIFY2(QFileInfo(dir.filePath(m.captured(1))).isFile(),
                   qPrintable(name + m.captured()));
        QVERIFY2(language.isEmpty() || !text.contains(chinese), qPrintable(name));
        // The key label ("1=D") is drawn beside the instrument picture.
        if (name == "keymode.htm") QVERIFY(!text.contains(QString::fromUtf8("键盘图旁")));
      }
    }
  }
};

QTEST_MAIN(HelpLauncherTest)
#include "help_launcher_test.moc"
