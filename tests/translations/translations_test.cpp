// The window's texts in the sources and in the translations: every Chinese
// text of src/ is marked for translation (else lupdate never sees it and it
// stays Chinese in every language), and every translation keeps what must
// be the same in every language.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <set>

namespace {

const QString kSource = QStringLiteral(TONVALE_SOURCE_DIR);

bool HasChinese(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x3000 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
  }
  return false;
}

// The C++ text with its comments blanked out, string literals kept.
QString WithoutComments(const QString& code) {
  QString out = code;
  for (qsizetype i = 0; i < out.size(); ++i) {
    if (out[i] == '"' || out[i] == '\'') {
      const QChar quote = out[i];
      for (++i; i < out.size() && out[i] != quote; ++i) {
        if (out[i] == '\\') ++i;
      }
    } else if (out.mid(i, 2) == "//") {
      for (; i < out.size() && out[i] != '\n'; ++i) out[i] = ' ';
    } else if (out.mid(i, 2) == "/*") {
      const qsizetype end = out.indexOf("*/", i + 2);
      const qsizetype stop = end < 0 ? out.size() : end + 2;
      for (; i < stop; ++i) {
        if (out[i] != '\n') out[i] = ' ';
      }
      --i;
    }
  }
  return out;
}

}  // namespace

// A window text is written tr("…"), QCoreApplication::translate("Context",
// "…"), QT_TRANSLATE_NOOP("Context", "…") in a table the window translates,
// or TONVALE_UI_TEXT("Context", "…") in the core.
TEST(Translations, EveryChineseTextOfTheSourcesIsMarkedForTranslation) {
  static const QRegularExpression literal(R"("(?:[^"\\\n]|\\.)*")");
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
    const QString code = WithoutComments(QString::fromUtf8(file.readAll()));
    const QString name = file.fileName().mid(kSource.size() + 1);
    for (const QRegularExpressionMatch& m : literal.globalMatch(code)) {
      if (!HasChinese(m.captured())) continue;
      ++seen;
      const QString before = code.left(m.capturedStart()).right(80);
      const QString where = name + ": " + m.captured();
      if (!marked.match(before).hasMatch() && !measured.contains(where)) unmarked << where;
    }
  }
  EXPECT_GT(seen, 200);  // the catalogue alone holds 136
  EXPECT_TRUE(unmarked.isEmpty()) << unmarked.join('\n').toStdString();
}

// Placeholders (%s, %d, %1) and what follows a tab (the shortcut shown in a
// menu's right-hand column) are the same in every language, and so are the
// digit mnemonics of the menu titles (Alt+1 .. Alt+9); a mnemonic is never
// lost.
TEST(Translations, EveryTranslationKeepsPlaceholdersShortcutsAndMenuDigits) {
  static const QRegularExpression placeholder(R"(%(?:s|d|\d))");
  static const QRegularExpression core_placeholder(R"(%[sd])");
  static const QRegularExpression digit_mnemonic(R"(&\d)");
  const auto in_order = [](const QRegularExpression& re, const QString& text) {
    QStringList found;
    for (const QRegularExpressionMatch& m : re.globalMatch(text)) found << m.captured();
    return found;
  };
  const auto all = [&in_order](const QRegularExpression& re, const QString& text) {
    QStringList found = in_order(re, text);
    found.sort();
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
      EXPECT_EQ(all(placeholder, translation), all(placeholder, source)) << where;
      // The core fills %s and %d in turn: they keep their order (Qt's %1 may move).
      EXPECT_EQ(in_order(core_placeholder, translation), in_order(core_placeholder, source))
          << where;
      EXPECT_EQ(translation.section('\t', 1), source.section('\t', 1)) << where;
      EXPECT_EQ(all(digit_mnemonic, translation), all(digit_mnemonic, source)) << where;
      EXPECT_EQ(mnemonics(translation), mnemonics(source)) << where;
      if (language.startsWith("en")) {
        EXPECT_FALSE(HasChinese(translation)) << where;
      }
      ++checked;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  }
  EXPECT_GT(checked, 200);
}
