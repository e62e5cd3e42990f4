// The help pages: well-formed enough to browse (UTF-8, titles, links that
// lead somewhere), and their key map and key-mode tables agree with the
// instrument's own tables.
#include <gtest/gtest.h>

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

std::vector<fs::path> Pages() {
  std::vector<fs::path> pages;
  for (const auto& entry : fs::directory_iterator(kHelpDir)) {
    if (entry.path().extension() == ".htm") pages.push_back(entry.path());
  }
  return pages;
}

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80           ? 0
                      : (lead >> 5) == 0x6  ? 1
                      : (lead >> 4) == 0xE  ? 2
                      : (lead >> 3) == 0x1E ? 3
                                            : -1;
    if (extra < 0 || i + extra >= text.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

std::vector<std::smatch> AllMatches(const std::string& text, const std::regex& pattern) {
  std::vector<std::smatch> found;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
       it != std::sregex_iterator(); ++it) {
    found.push_back(*it);
  }
  return found;
}

TEST(HelpPages, EveryPageIsUtf8WithTitleAndWorkingLinks) {
  const std::vector<fs::path> pages = Pages();
  ASSERT_GE(pages.size(), 7u);
  ASSERT_TRUE(fs::is_regular_file(kHelpDir / "default.htm"));
  const std::regex link_re(R"re((?:href|src)="([^"]*)")re");
  for (const fs::path& page : pages) {
    SCOPED_TRACE(page.filename().string());
    const std::string text = ReadFile(page);
    EXPECT_TRUE(IsUtf8(text));
    EXPECT_NE(text.find("<meta charset=\"utf-8\">"), std::string::npos);
    const std::smatch title = AllMatches(text, std::regex("<title>([^<]+)</title>")).at(0);
    EXPECT_FALSE(title[1].str().empty());
    int links = 0;
    for (const std::smatch& link : AllMatches(text, link_re)) {
      std::string target = link[1].str();
      if (target.rfind("https://", 0) == 0 || target.rfind("mailto:", 0) == 0) continue;
      target = target.substr(0, target.find('#'));
      EXPECT_TRUE(fs::is_regular_file(kHelpDir / target)) << "broken link " << target;
      ++links;
    }
    EXPECT_GE(links, 2);  // the style sheet and the way back
  }
}

TEST(HelpPages, StartPageLeadsToEveryPage) {
  const std::string start = ReadFile(kHelpDir / "default.htm");
  for (const fs::path& page : Pages()) {
    const std::string name = page.filename().string();
    if (name == "default.htm") continue;
    EXPECT_NE(start.find("href=\"" + name + "\""), std::string::npos) << name;
  }
}

// The key map of the playing page, cell by cell, against the key table: the
// same 45 keys, each once, in its row and half-key column, with its degree and
// its octave dots.
TEST(HelpPages, KeyMapMatchesTheKeyTable) {
  const std::string page = ReadFile(kHelpDir / "play.htm");
  const size_t begin = page.find("<table class=\"keymap\"");
  ASSERT_NE(begin, std::string::npos);
  const std::string table = page.substr(begin, page.find("</table>", begin) - begin);

  const std::regex row_re("<tr>(.*?)</tr>");
  const std::regex cell_re(R"re(<td colspan="(\d+)"([^>]*)>(.*?)</td>)re");
  const std::regex key_re(R"re(data-scan="(\d+)" data-degree="([^"]+)" data-octave="(\d)")re");
  const std::regex content_re(
      R"re(<span class="dot">([^<]*)</span><br><span class="degree">([^<]*)</span><br><span class="dot">([^<]*)</span>)re");

  std::set<int> seen;
  const std::vector<std::smatch> rows = AllMatches(table, row_re);
  ASSERT_EQ(rows.size(), 4u);
  for (size_t row = 0; row < rows.size(); ++row) {
    const std::string row_text = rows[row][1].str();
    int column = 0;
    for (const std::smatch& cell : AllMatches(row_text, cell_re)) {
      const int span = std::stoi(cell[1].str());
      const std::string attributes = cell[2].str();
      std::smatch key;
      if (std::regex_search(attributes, key, key_re)) {
        const int scan = std::stoi(key[1].str());
        SCOPED_TRACE("scan code " + std::to_string(scan));
        const KeyEntry* entry = FindKey(static_cast<std::uint32_t>(scan));
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(seen.insert(scan).second) << "shown twice";
        EXPECT_EQ(entry->row, static_cast<int>(row));
        EXPECT_EQ(entry->column, column);
        EXPECT_EQ(span, 2);
        EXPECT_EQ(key[2].str(), entry->label);
        EXPECT_EQ(std::stoi(key[3].str()), entry->octave);
        const std::string content = cell[3].str();
        std::smatch shown;
        ASSERT_TRUE(std::regex_search(content, shown, content_re)) << content;
        EXPECT_EQ(shown[2].str(), entry->label);
        const std::string above = entry->octave == 6 ? "·" : "&nbsp;";
        const std::string below = entry->octave == 4 ? "·" : entry->octave == 3 ? ":" : "&nbsp;";
        EXPECT_EQ(shown[1].str(), above);
        EXPECT_EQ(shown[3].str(), below);
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

std::string OffsetText(int offset) {
  if (offset > 0) return "+" + std::to_string(offset);
  if (offset < 0) return "−" + std::to_string(-offset);  // a real minus sign
  return "0";
}

TEST(HelpPages, KeyModeTableMatchesTheModes) {
  const std::string page = ReadFile(kHelpDir / "keymode.htm");
  const std::regex row_re(
      R"re(<tr data-mode="(\d+)" data-offset="(-?\d+)" data-tonic="([^"]+)">(.*?)</tr>)re");
  std::map<int, int> seen;
  for (const std::smatch& row : AllMatches(page, row_re)) {
    const int mode = std::stoi(row[1].str());
    SCOPED_TRACE("mode " + std::to_string(mode));
    ++seen[mode];
    const std::optional<int> offset = TonicOffset(mode);
    ASSERT_TRUE(offset.has_value());
    EXPECT_EQ(std::stoi(row[2].str()), *offset);
    ASSERT_NE(KeyModeTonicText(mode), nullptr);
    EXPECT_EQ(row[3].str(), KeyModeTonicText(mode));
    const std::string cells = row[4].str();
    EXPECT_NE(cells.find("<td>" + row[3].str() + "</td>"), std::string::npos);
    EXPECT_NE(cells.find(">" + OffsetText(*offset) + "</td>"), std::string::npos);
    // The menu name names the same tonic: "bB大调" for "1=bB", "#c小调" for "6=#c".
    const std::string tonic = row[3].str().substr(2);
    const std::string kind = row[3].str()[0] == '1' ? "大调" : "小调";
    EXPECT_EQ(cells.rfind("<td>" + tonic + kind + "</td>", 0), 0u) << cells;
  }
  EXPECT_EQ(seen.size(), 24u);
  for (const std::int32_t mode : kKeyModes) EXPECT_EQ(seen[mode], 1) << mode;
}

TEST(HelpPages, CommandLineModeNumbersMatchTheModes) {
  const std::string page = ReadFile(kHelpDir / "commandline.htm");
  const std::regex cell_re(
      R"re(<td>([^<]+)</td><td data-mode="(\d+)" data-name="([^"]+)">(\d+)</td>)re");
  std::map<int, int> seen;
  for (const std::smatch& cell : AllMatches(page, cell_re)) {
    const int mode = std::stoi(cell[2].str());
    SCOPED_TRACE("mode " + std::to_string(mode));
    ++seen[mode];
    EXPECT_EQ(cell[4].str(), cell[2].str());
    EXPECT_EQ(cell[1].str(), cell[3].str());
    ASSERT_NE(KeyModeTonicText(mode), nullptr);
    EXPECT_EQ(std::string(KeyModeTonicText(mode)).substr(2), cell[3].str());
  }
  EXPECT_EQ(seen.size(), 24u);
  for (const std::int32_t mode : kKeyModes) EXPECT_EQ(seen[mode], 1) << mode;
}

}  // namespace
}  // namespace tonvale
