// The window's texts in the sources and in the translations.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <set>

namespace {

const QString kSource = QStringLiteral(TONVALE_SOURCE_DIR);

bool HasChinese(const QString& text) {
  static const QRegularExpression chinese(R"([\x{3000}-\x{9fff}\x{ff00}-\x{ffef}])");
  return text.contains(chinese);
}

}  // namespace

// Else lupdate never sees it and it stays Chinese in every language.
TEST(Translations, EveryChineseTextOfTheSourcesIsMarkedForTranslation) {
  // Comments and character literals are read past, string literals kept.
  static const QRegularExpression token(
      R"re(//[^\n]*|/\*[\s\S]*?\*/|'(?:[^'\\\n]|\\.)*'|"(?:[^"\\\n]|\\.)*")re");
  static const QRegularExpression marked(
      R"((?:\btr|QT_TR_NOOP)\(\s*$|(?:\btranslate|QT_TRANSLATE_NOOP|TONVALE_UI_TEXT)\(\s*"[^"]*"\s*,\s*$)");
  // Not shown: a sample of the dialog's two scripts, measured for its line height.
  const std::set<QString> measured = {"src/help/dialog_units.cpp: \"Mg确定联系主页\""};
  QStringList unmarked;
  int seen = 0;
  QDirIterator files(kSource + "/src", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) {
    QFile file(files.next());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QString code = QString::fromUtf8(file.readAll());
    const QString name = file.fileName().mid(kSource.size() + 1);
    for (const QRegularExpressionMatch& m : token.globalMatch(code)) {
      if (!m.captured().startsWith('"') || !HasChinese(m.captured())) continue;
      ++seen;
      const QString before = code.left(m.capturedStart()).right(80);
      const QString where = name + ": " + m.captured();
      if (!marked.match(before).hasMatch() && !measured.contains(where)) unmarked << where;
    }
  }
  EXPECT_GT(seen, 200);  // the catalogue alone holds 136
  EXPECT_TRUE(unmarked.isEmpty()) << unmarked.join('\n').toStdString();
}

// Placeholders, shortcuts after a tab and Alt+digit menu titles are the same
// in every language; no mnemonic is lost.
TEST(Translations, EveryTranslationKeepsPlaceholdersShortcutsAndMenuDigits) {
  static const QRegularExpression placeholder(R"(%(?:s|d|\d))");
  static const QRegularExpression core_placeholder(R"(%[sd])");
  static const QRegularExpression digit_mnemonic(R"(&\d)");
  const auto in_order = [](const QRegularExpression& re, const QString& text, bool sorted = false) {
    QStringList found;
    for (const QRegularExpressionMatch& m : re.globalMatch(text)) found << m.captured();
    if (sorted) found.sort();
    return found;
  };
  const auto mnemonics = [](QString text) { return text.remove("&&").count('&'); };
  QDirIterator files(kSource + "/translations", {"*.ts"}, QDir::Files);
  int checked = 0;
  while (files.hasNext()) {
    QFile file(files.next());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString language, context, source;
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (xml.name() == u"TS") language = xml.attributes().value("language").toString();
      if (xml.name() == u"name") context = xml.readElementText();
      if (xml.name() == u"source") source = xml.readElementText();
      if (xml.name() != u"translation") continue;
      const QString translation = xml.readElementText();
      const std::string where = (context + ": " + source).toStdString();
      EXPECT_FALSE(translation.isEmpty()) << where;
      EXPECT_EQ(in_order(placeholder, translation, true), in_order(placeholder, source, true))
          << where;
      // The core fills %s and %d in turn: they keep their order (Qt's %1 may move).
      EXPECT_EQ(in_order(core_placeholder, translation), in_order(core_placeholder, source))
          << where;
      EXPECT_EQ(translation.section('\t', 1), source.section('\t', 1)) << where;
      EXPECT_EQ(in_order(digit_mnemonic, translation, true), in_order(digit_mnemonic, source, true))
          << where;
      EXPECT_EQ(mnemonics(translation), mnemonics(source)) << where;
      EXPECT_FALSE(language.startsWith("en") && HasChinese(translation)) << where;
      ++checked;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  }
  EXPECT_GT(checked, 200);
}
