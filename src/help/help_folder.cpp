#include "help/help_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tonvale {

QStringList HelpFolderCandidates(const QString& language_folder) {
  const QString program_dir = QCoreApplication::applicationDirPath();
  QStringList folders{QDir(program_dir).filePath(QStringLiteral("help"))};
  const QString build_dir = QDir(QStringLiteral(TONVALE_BUILD_DIR)).canonicalPath();
  const QString canonical_program_dir = QDir(program_dir).canonicalPath();
  if (!build_dir.isEmpty() && (canonical_program_dir == build_dir ||
                               canonical_program_dir.startsWith(build_dir + QLatin1Char('/')))) {
    folders << QStringLiteral(TONVALE_SOURCE_HELP_DIR);
  }
  folders << QDir::cleanPath(program_dir + QStringLiteral("/../share/tonvale/help"))
          << QStringLiteral(TONVALE_INSTALLED_HELP_DIR);
  if (!language_folder.isEmpty()) {
    for (QString& folder : folders) folder = QDir(folder).filePath(language_folder);
  }
  return folders;
}

QString FindHelpFolder(const QStringList& candidates) {
  for (const QString& folder : candidates) {
    if (QFileInfo(QDir(folder).filePath(QLatin1String(kHelpStartPage))).isFile()) return folder;
  }
  return {};
}

QString FindHelpFolder() {
  return FindHelpFolder(HelpFolderCandidates());
}

}  // namespace tonvale
