#include "perform/instrument_catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace tonvale {
namespace {

TEST(InstrumentCatalogue, EveryProgramSitsInItsFamilySlot) {
  std::set<std::string> names;
  for (int p = 0; p < 128; ++p) {
    const InstrumentEntry& e = InstrumentFamilies[p / 8].entries[p % 8];
    EXPECT_EQ(e.program, p);
    EXPECT_STREQ(GetInstrumentName(p), e.name);
    ASSERT_NE(e.name, nullptr);
    EXPECT_GT(std::strlen(e.name), 0u);
    names.insert(e.name);
  }
  EXPECT_EQ(names.size(), 128u);  // no two programs share a name
}

TEST(InstrumentCatalogue, NamesAsShown) {
  EXPECT_STREQ(GetInstrumentName(0), "三角钢琴");
  EXPECT_STREQ(GetInstrumentName(79), "奥卡利那笛");
  EXPECT_STREQ(GetInstrumentName(80), "主音 1(广场)");
  EXPECT_STREQ(GetInstrumentName(82), "主音 3(caliope lead)");
  EXPECT_STREQ(GetInstrumentName(127), "枪声");
  EXPECT_STREQ(InstrumentFamilies[4].name, "Bass");
  EXPECT_STREQ(GetInstrumentName(32), "Bass");
  EXPECT_STREQ(InstrumentFamilies[15].name, "音效");
  // The only names with full-width parentheses.
  std::set<int> full_width;
  for (int p = 0; p < 128; ++p) {
    if (std::strstr(GetInstrumentName(p), "（") != nullptr) full_width.insert(p);
    if (std::strstr(GetInstrumentName(p), "）") != nullptr) {
      EXPECT_TRUE(full_width.count(p));
    }
  }
  EXPECT_EQ(full_width, (std::set<int>{77, 104, 107, 108}));
  EXPECT_STREQ(GetInstrumentName(107), "十三弦古筝（日）");
}

TEST(InstrumentCatalogue, PictureRuleAtItsBorders) {
  EXPECT_EQ(GetInstrumentPicture(0, 0), 0);
  EXPECT_EQ(GetInstrumentPicture(7, 0), 0);
  EXPECT_EQ(GetInstrumentPicture(8, 0), 1);
  EXPECT_EQ(GetInstrumentPicture(79, 0), 9);
  EXPECT_EQ(GetInstrumentPicture(80, 0), 10);
  EXPECT_EQ(GetInstrumentPicture(95, 0), 10);
  EXPECT_EQ(GetInstrumentPicture(103, 0), 10);
  EXPECT_EQ(GetInstrumentPicture(104, 0), 11);
  EXPECT_EQ(GetInstrumentPicture(112, 14), 12);
  EXPECT_EQ(GetInstrumentPicture(127, 0), 13);
  for (int p = 0; p < 128; ++p) {
    EXPECT_EQ(GetInstrumentPicture(p, 9), 14);
    EXPECT_NE(GetInstrumentPicture(p, 8), 14);
  }
}

TEST(InstrumentCatalogue, ToolbarPrograms) {
  const auto programs = ToolbarPrograms();
  EXPECT_EQ(programs, (std::array<std::int32_t, 14>{0, 15, 19, 25, 32, 40, 55, 57, 66, 73, 103, 107,
                                                    114, 123}));
  EXPECT_STREQ(GetInstrumentName(programs[6]), "管弦乐队打击乐");
  EXPECT_STREQ(GetInstrumentName(programs[13]), "鸟叫");
}

}  // namespace
}  // namespace tonvale
