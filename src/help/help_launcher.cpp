#include "help/help_launcher.h"

#include <QDir>
#include <QUrl>

#include "help/help_folder.h"
#include "help/help_window.h"

namespace tonvale {

HelpLauncher::HelpLauncher() : HelpLauncher([] { return FindHelpFolder(); }) {}

HelpLauncher::HelpLauncher(FolderFinder find) : find_(std::move(find)) {}

HelpLauncher::~HelpLauncher() = default;

void HelpLauncher::Open() {
  if (!searched_) {
    searched_ = true;
    folder_ = find_();
  }
  if (folder_.isEmpty()) return;
  const QUrl start = QUrl::fromLocalFile(QDir(folder_).filePath(QLatin1String(kHelpStartPage)));
  if (!window_) window_ = std::make_unique<HelpWindow>(start);
  window_->ShowPage(start);
}

}  // namespace tonvale
