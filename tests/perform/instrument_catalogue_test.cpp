#include "perform/instrument_catalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace tonvale {
namespace {

TEST(InstrumentCatalogue, EveryProgramSitsInItsFamilySlotUnderItsOwnName) {
  std::set<std::string> names;
  std::set<int> full_width;
  for (int p = 0; p < 128; ++p) {
    const InstrumentEntry& e = InstrumentFamilies[p / 8].entries[p % 8];
    EXPECT_EQ(e.program, p);
    ASSERT_NE(e.name, nullptr);
    EXPECT_STREQ(GetInstrumentName(p), e.name);
    EXPECT_GT(std::strlen(e.name), 0u);
    names.insert(e.name);
    if (std::strstr(e.name, "（") != nullptr) full_width.insert(p);
    EXPECT_TRUE(std::strstr(e.name, "）") == nullptr || full_width.count(p) == 1) << p;
  }
  EXPECT_EQ(names.size(), 128u);  // no two programs share a name
  // The only names with full-width parentheses.
  EXPECT_EQ(full_width, (std::set<int>{77, 104, 107, 108}));
  EXPECT_STREQ(GetInstrumentName(107), "十三弦古筝（日）");
  EXPECT_STREQ(GetInstrumentName(0), "三角钢琴");
  EXPECT_STREQ(GetInstrumentName(79), "奥卡利那笛");
  EXPECT_STREQ(GetInstrumentName(80), "主音 1(广场)");
  EXPECT_STREQ(GetInstrumentName(82), "主音 3(caliope lead)");
  EXPECT_STREQ(GetInstrumentName(127), "枪声");
  EXPECT_STREQ(GetInstrumentName(32), "Bass");
  EXPECT_STREQ(InstrumentFamilies[4].name, "Bass");
  EXPECT_STREQ(InstrumentFamilies[15].name, "音效");
}

TEST(InstrumentCatalogue, PictureRuleAtItsBordersAndToolbarPrograms) {
  const int pictures[][3] = {{0, 0, 0},     {7, 0, 0},    {8, 0, 1},    {79, 0, 9},
                             {80, 0, 10},   {95, 0, 10},  {103, 0, 10}, {104, 0, 11},
                             {112, 14, 12}, {127, 0, 13}, {0, 9, 14},   {127, 9, 14}};
  for (const auto& [program, channel, picture] : pictures) {
    EXPECT_EQ(GetInstrumentPicture(program, channel), picture) << program << "/" << channel;
  }
  for (int p = 0; p < 128; ++p) {  // the drum channel has a picture of its own
    EXPECT_EQ(GetInstrumentPicture(p, 9), 14) << p;
    EXPECT_NE(GetInstrumentPicture(p, 8), 14) << p;
  }

  EXPECT_EQ(ToolbarPrograms(), (std::array<std::int32_t, 14>{0, 15, 19, 25, 32, 40, 55, 57, 66, 73,
                                                             103, 107, 114, 123}));
  EXPECT_STREQ(GetInstrumentName(55), "管弦乐队打击乐");
  EXPECT_STREQ(GetInstrumentName(123), "鸟叫");
}

}  // namespace
}  // namespace tonvale
