// The language of the window, chosen once at start from the desktop's
// settings: Chinese, the language of the source texts, or English. And the
// translators that put it in place for the rest of the run.
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

namespace tonvale {

enum class UiLanguage { kChinese, kEnglish };

// The desktop's languages, most wanted first, as Qt reads them from
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG (QLocale::system().uiLanguages()):
// the first that is Chinese (any region or script) or English decides; when
// none is either, English.
UiLanguage ChooseUiLanguage(const QStringList& ui_languages);

// Folders that may hold the compiled translations, in the order tried, as
// for the help pages: "translations" beside the executable, the build
// tree's when the executable lies in it, share/tonvale/translations next to
// its bin folder, and the data folder the program was installed with.
QStringList TranslationFolderCandidates();

// The help pages' folder for a language, below the help folder: "" for
// the Chinese pages, "en" for the English ones.
QString HelpLanguageFolder(UiLanguage language);

// What the window speaks: the language the UiTranslations alive put in
// place, else Chinese.
UiLanguage UiLanguageInUse();

// Installs the translations of a language for its lifetime. English:
// Tonvale's English translation (Qt's own texts are English already).
// Chinese: nothing of Tonvale's, and Qt's Chinese for its dialogs and
// buttons where installed. When the English translation cannot be found
// the window stays Chinese, and says so on standard error.
class UiTranslations {
 public:
  explicit UiTranslations(UiLanguage language,
                          const QStringList& folders = TranslationFolderCandidates());
  ~UiTranslations();
  UiTranslations(const UiTranslations&) = delete;
  UiTranslations& operator=(const UiTranslations&) = delete;

  UiLanguage language() const { return language_; }

 private:
  QTranslator tonvale_;
  QTranslator qt_;
  bool tonvale_installed_ = false;
  bool qt_installed_ = false;
  UiLanguage language_ = UiLanguage::kChinese;
};

}  // namespace tonvale
