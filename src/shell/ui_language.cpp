#include "shell/ui_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <cstdio>

namespace tonvale {

namespace {

UiLanguage in_use = UiLanguage::kChinese;

bool IsLanguage(const QString& name, QLatin1String language) {
  // "zh", "zh-CN", "zh_TW", "zh-Hant-HK": the language comes first.
  return name.size() == language.size()
             ? name.compare(language, Qt::CaseInsensitive) == 0
             : name.startsWith(language, Qt::CaseInsensitive) &&
                   (name[language.size()] == u'-' || name[language.size()] == u'_');
}

}  // namespace

UiLanguage ChooseUiLanguage(const QStringList& ui_languages) {
  for (const QString& name : ui_languages) {
    if (IsLanguage(name, QLatin1String("zh"))) return UiLanguage::kChinese;
    if (IsLanguage(name, QLatin1String("en"))) return UiLanguage::kEnglish;
  }
  return UiLanguage::kEnglish;
}

QStringList TranslationFolderCandidates() {
  const QString program_dir = QCoreApplication::applicationDirPath();
  QStringList folders{QDir(program_dir).filePath(QStringLiteral("translations"))};
  const QString build_dir = QDir(QStringLiteral(TONVALE_BUILD_DIR)).canonicalPath();
  const QString canonical_program_dir = QDir(program_dir).canonicalPath();
  if (!build_dir.isEmpty() && (canonical_program_dir == build_dir ||
                               canonical_program_dir.startsWith(build_dir + QLatin1Char('/')))) {
    folders << QDir(build_dir).filePath(QStringLiteral("translations"));
  }
  folders << QDir::cleanPath(program_dir + QStringLiteral("/../share/tonvale/translations"))
          << QStringLiteral(TONVALE_INSTALLED_TRANSLATIONS_DIR);
  return folders;
}

QString HelpLanguageFolder(UiLanguage language) {
  return language == UiLanguage::kEnglish ? QStringLiteral("en") : QString();
}

UiLanguage UiLanguageInUse() {
  return in_use;
}

UiTranslations::UiTranslations(UiLanguage language, const QStringList& folders) {
  if (language == UiLanguage::kEnglish) {
    for (const QString& folder : folders) {
      if (tonvale_.load(QStringLiteral("tonvale_en"), folder)) break;
    }
    tonvale_installed_ = !tonvale_.isEmpty() && QCoreApplication::installTranslator(&tonvale_);
    if (tonvale_installed_) {
      language_ = UiLanguage::kEnglish;
    } else {
      std::fprintf(stderr,
                   "tonvale: the English translation (tonvale_en.qm) was not found; the window "
                   "stays in Chinese\n");
    }
  }
  if (language_ == UiLanguage::kChinese &&
      qt_.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
               QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    qt_installed_ = QCoreApplication::installTranslator(&qt_);
  }
  in_use = language_;
}

UiTranslations::~UiTranslations() {
  if (tonvale_installed_) QCoreApplication::removeTranslator(&tonvale_);
  if (qt_installed_) QCoreApplication::removeTranslator(&qt_);
  in_use = UiLanguage::kChinese;
}

}  // namespace tonvale
