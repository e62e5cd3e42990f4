// Saves pictures of the About box and of every help page, to look at:
//   QT_QPA_PLATFORM=offscreen help_screenshots OUT_DIR
// Not a test.
#include <QApplication>
#include <QDir>
#include <QTextBrowser>

#include "help/about_box.h"
#include "help/help_folder.h"
#include "help/help_launcher.h"
#include "help/help_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  tonvale::LinkVisits visits{false, true, false, false};  // one link shown visited
  tonvale::AboutBox box(nullptr, visits, [](const QUrl&) { return true; });
  box.show();
  box.grab().save(out.filePath("about_box.png"));

  tonvale::HelpLauncher help;
  help.Open();
  if (help.window() == nullptr) return 1;
  const QDir pages(tonvale::FindHelpFolder());
  for (const QString& page : pages.entryList({"*.htm"})) {
    help.window()->ShowPage(QUrl::fromLocalFile(pages.filePath(page)));
    QApplication::processEvents();
    help.window()->grab().save(out.filePath("help_" + page + ".png"));
    QTextBrowser* browser = help.window()->browser();  // and the whole page
    browser->resize(browser->width(), static_cast<int>(browser->document()->size().height()) + 40);
    browser->grab().save(out.filePath("page_" + page + ".png"));
    browser->resize(browser->width(), 560);
  }
  return 0;
}
