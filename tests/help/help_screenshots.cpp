// Saves pictures of the About box and the help window, for looking at them:
//   help_screenshots OUT_DIR
// Run with QT_QPA_PLATFORM=offscreen. Not a test.
#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QTextBrowser>
#include <QTimer>
#include <cstdio>

#include "help/about_box.h"
#include "help/help_folder.h"
#include "help/help_launcher.h"
#include "help/help_window.h"
#include "help/link_label.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

  tonvale::LinkVisits visits{};
  visits[1] = true;  // show one link visited
  tonvale::AboutBox box(nullptr, visits, [](const QUrl&) { return true; });
  box.show();
  box.grab().save(out.filePath(QStringLiteral("about_box.png")));
  std::printf("about box %dx%d at %d,%d; dialog font %s (%s)\n", box.width(), box.height(), box.x(),
              box.y(), qPrintable(tonvale::AboutBox::DialogFont().toString()),
              qPrintable(QFontInfo(tonvale::AboutBox::DialogFont()).family()));
  for (QWidget* control : box.controls()) {
    QString text;
    if (auto* label = qobject_cast<QLabel*>(control)) text = label->text();
    if (auto* link = qobject_cast<tonvale::LinkLabel*>(control)) {
      text = link->text() + QStringLiteral(" [") + QFontInfo(link->font()).family() +
             QStringLiteral("] need ") +
             QString::number(QFontMetrics(link->font()).horizontalAdvance(link->text()));
    }
    std::printf("  %-20s %4d %4d %4d %4d  %s\n", control->metaObject()->className(), control->x(),
                control->y(), control->width(), control->height(), qPrintable(text));
  }

  tonvale::HelpLauncher help;
  help.Open();
  if (help.window() == nullptr) {
    std::printf("no help pages found\n");
    return 1;
  }
  const QStringList pages = QDir(tonvale::FindHelpFolder()).entryList({QStringLiteral("*.htm")});
  for (const QString& page : pages) {
    help.window()->ShowPage(QUrl::fromLocalFile(QDir(tonvale::FindHelpFolder()).filePath(page)));
    QApplication::processEvents();
    help.window()->grab().save(
        out.filePath(QStringLiteral("help_") + page + QStringLiteral(".png")));
    // The whole page, not only what fits in the window.
    QTextBrowser* browser = help.window()->browser();
    const int full = static_cast<int>(browser->document()->size().height()) + 40;
    browser->resize(browser->width(), full);
    browser->grab().save(out.filePath(QStringLiteral("page_") + page + QStringLiteral(".png")));
    browser->resize(browser->width(), 560);
  }
  return 0;
}
