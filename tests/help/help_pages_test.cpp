// The help pages: well-formed enough to browse (UTF-8, titles, links that
// lead somewhere), and their key map and key-mode tables agree with the
// instrument's own tables.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "perform/key_table.h"

namespace tonvale {
namespace {

namespace fs = std::filesystem;

const fs::path kHelpDir{TONVALE_SOURCE_HELP_DIR};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool IsUtf8(const std::string& text) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  return std::mbstowcs(nullptr, text.c_str(), 0) != static_cast<size_t>(-1);
}

std::vector<std::smatch> AllMatches(const std::string& text, const std::string& pattern) {
  const std::regex re(pattern);
  return {std::sregex_iterator(text.begin(), text.end(), re), std::sregex_iterator()};
}

TEST(HelpPages, EveryPageIsUtf8WithTitleAndLinksThatLeadSomewhere) {
  const std::string start = ReadFile(kHelpDir / "default.htm");
  int pages = 0;
  for (const auto& entry : fs::directory_iterator(kHelpDir)) {
    if (entry.path().extension() != ".htm") continue;
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    ++pages;
    const std::string text = ReadFile(entry.path());
    EXPECT_TRUE(IsUtf8(text));
    EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_EQ(AllMatches(text, "<title>[^<]+</title>").size(), 1u);
    int links = 0;
    for (const std::smatch& link : AllMatches(text, R"re((?:href|src)="([^"]*)")re")) {
      std::string target = link[1].str();
      if (target.rfind("https://", 0) == 0 || target.rfind("mailto:", 0) == 0) continue;
      target = target.substr(0, target.find('#'));
      EXPECT_TRUE(fs::is_regular_file(kHelpDir / target)) << "broken link " << target;
      ++links;
    }
    EXPECT_GE(links, 2);  // the style sheet and the way back
    if (name != "default.htm") {
      EXPECT_NE(start.find("href=\"" + name + "\""), std::string::npos) << "not reachable";
    }
  }
  EXPECT_GE(pages, 7);
}

// The key map of the playing page against the key table: the same 45 keys,
// each once, in its row and half-key column, with its degree and octave dots.
TEST(HelpPages, KeyMapMatchesTheKeyTable) {
  const std::string page = ReadFile(kHelpDir / "play.htm");
  const size_t begin = page.find("<table class=\"keymap\"");
  ASSERT_NE(begin, std::string::npos);
  const std::string table = page.substr(begin, page.find("</table>", begin) - begin);
  const std::regex key_re(R"re(data-scan="(\d+)")re");
  const std::regex content_re(
      R"re(<span class="dot">([^<]*)</span><br><span class="degree">([^<]*)</span><br><span class="dot">([^<]*)</span>)re");
  std::set<int> seen;
  const std::vector<std::smatch> rows = AllMatches(table, "<tr>(.*?)</tr>");
  ASSERT_EQ(rows.size(), 4u);
  for (size_t row = 0; row < rows.size(); ++row) {
    const std::string row_text = rows[row][1].str();
    int column = 0;
    for (const std::smatch& cell :
         AllMatches(row_text, R"re(<td colspan="(\d+)"([^>]*)>(.*?)</td>)re")) {
      const int span = std::stoi(cell[1].str());
      const std::string attributes = cell[2].str(), content = cell[3].str();
      std::smatch key, shown;
      if (std::regex_search(attributes, key, key_re)) {
        const int scan = std::stoi(key[1].str());
        SCOPED_TRACE("scan code " + std::to_string(scan));
        const KeyEntry* entry = FindKey(static_cast<std::uint32_t>(scan));
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(seen.insert(scan).second) << "shown twice";
        EXPECT_EQ(entry->row, static_cast<int>(row));
        EXPECT_EQ(entry->column, column);
        EXPECT_EQ(span, 2);
        ASSERT_TRUE(std::regex_search(content, shown, content_re)) << content;
        EXPECT_EQ(shown[2].str(), entry->label);
        EXPECT_EQ(shown[1].str(), entry->octave == 6 ? "·" : "&nbsp;");
        EXPECT_EQ(shown[3].str(), entry->octave == 4 ? "·" : entry->octave == 3 ? ":" : "&nbsp;");
      }
      column += span;
    }
    EXPECT_EQ(column, 25) << "row " << row;
  }
  int playing = 0;
  for (int scan = 0; scan < kKeyCount; ++scan) playing += FindKey(scan) != nullptr ? 1 : 0;
  EXPECT_EQ(playing, 45);
  EXPECT_EQ(seen.size(), 45u);
}

// The key-mode page and the command-line page list each of the 24 modes once,
// with the tonic, offset, menu name and number the instrument uses.
TEST(HelpPages, KeyModeTablesMatchTheModes) {
  std::map<int, int> on_modes, on_commands;
  for (const std::smatch& row : AllMatches(ReadFile(kHelpDir / "keymode.htm"),
                                           R"re(<tr data-mode="(\d+)"[^>]*>(.*?)</tr>)re")) {
    const int mode = std::stoi(row[1].str());
    SCOPED_TRACE("mode " + std::to_string(mode));
    ++on_modes[mode];
    const std::optional<int> offset = TonicOffset(mode);
    ASSERT_TRUE(offset.has_value() && KeyModeTonicText(mode) != nullptr);
    const std::string tonic = KeyModeTonicText(mode), cells = row[2].str();
    EXPECT_NE(cells.find("<td>" + tonic + "</td>"), std::string::npos);
    const std::string offset_text = *offset > 0   ? "+" + std::to_string(*offset)
                                    : *offset < 0 ? "−" + std::to_string(-*offset)  // a real minus
                                                  : "0";
    EXPECT_NE(cells.find(">" + offset_text + "</td>"), std::string::npos);
    // The menu name names the same tonic: "bB大调" for "1=bB", "#c小调" for "6=#c".
    const std::string kind = tonic[0] == '1' ? "大调" : "小调";
    EXPECT_EQ(cells.rfind("<td>" + tonic.substr(2) + kind + "</td>", 0), 0u) << cells;
  }
  for (const std::smatch& cell :
       AllMatches(ReadFile(kHelpDir / "commandline.htm"),
                  R"re(<td>([^<]+)</td><td data-mode="(\d+)"[^>]*>(\d+)</td>)re")) {
    const int mode = std::stoi(cell[2].str());
    SCOPED_TRACE("command line mode " + std::to_string(mode));
    ++on_commands[mode];
    EXPECT_EQ(cell[3].str(), cell[2].str());
    ASSERT_NE(KeyModeTonicText(mode), nullptr);
    EXPECT_EQ(std::string(KeyModeTonicText(mode)).substr(2), cell[1].str());
  }
  EXPECT_EQ(on_modes.size(), 24u);
  EXPECT_EQ(on_commands.size(), 24u);
  for (const std::int32_t mode : kKeyModes) {
    EXPECT_EQ(on_modes[mode], 1) << mode;
    EXPECT_EQ(on_commands[mode], 1) << mode;
  }
}

}  // namespace
}  // namespace tonvale
