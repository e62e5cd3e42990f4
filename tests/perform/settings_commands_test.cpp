// What the commands send and how the checks move after each is asserted
// through the window in tests/shell/main_window_test.cpp, and the bars'
// clamps with real scroll actions; here the edges the window cannot reach.
#include "perform/settings_commands.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "recording_sink.h"

namespace tonvale {
namespace {

using test::RecordingSink;

TEST(SettingsCommands, ClassifiesTheWholeIdentifierSpace) {
  using K = CommandKind;
  const std::pair<std::int32_t, Command> cases[] = {{0, {K::kRepaint, 0}},
                                                    {255, {K::kRepaint, 0}},
                                                    {256, {K::kDeviceOpen, 0}},
                                                    {257, {K::kDeviceClose, 0}},
                                                    {258, {K::kRepaint, 0}},
                                                    {510, {K::kRepaint, 0}},
                                                    {511, {K::kDevice, -1}},
                                                    {512, {K::kDevice, 0}},
                                                    {514, {K::kDevice, 2}},
                                                    {515, {K::kIgnored, 0}},
                                                    {767, {K::kIgnored, 0}},
                                                    {768, {K::kChannel, 0}},
                                                    {782, {K::kChannel, 14}},
                                                    {783, {K::kIgnored, 0}},
                                                    {1023, {K::kIgnored, 0}},
                                                    {1024, {K::kProgram, 0}},
                                                    {1151, {K::kProgram, 127}},
                                                    {1152, {K::kIgnored, 0}},
                                                    {1279, {K::kIgnored, 0}},
                                                    {1280, {K::kOwned, 1280}},
                                                    {1296, {K::kOwned, 1296}},
                                                    {1297, {K::kKeyMode, 1297}},
                                                    {1305, {K::kKeyMode, 1305}},
                                                    {1306, {K::kIgnored, 0}},
                                                    {1311, {K::kIgnored, 0}},
                                                    {1312, {K::kKeyMode, 1312}},
                                                    {1322, {K::kIgnored, 0}},
                                                    {1332, {K::kKeyMode, 1332}},
                                                    {1333, {K::kAutoBass, 0}},
                                                    {1334, {K::kIgnored, 0}},
                                                    {0xFFFF, {K::kIgnored, 0}},
                                                    {(5 << 16) | 256, {K::kDeviceOpen, 0}},
                                                    {(1 << 16) | 1039, {K::kProgram, 15}}};
  // With three devices: 515 is no fourth one; channel 16 (783) is the bass
  // channel; the high word (a notification code) is ignored.
  for (const auto& [id, expected] : cases) EXPECT_EQ(ClassifyCommand(id, 3), expected) << id;
  EXPECT_EQ(DeviceCommand(-1), 511);
  EXPECT_EQ(DeviceCommand(7), 519);
}

TEST(SettingsCommands, ChecksOfTheDefaultsAndOfAForeignKeyMode) {
  auto checked = [](const Settings& s, std::int32_t first, std::int32_t last) {
    std::vector<std::int32_t> ids;
    for (std::int32_t id = first; id <= last; ++id) {
      if (CommandChecked(s, id)) ids.push_back(id);
    }
    return ids;
  };
  Settings s;
  EXPECT_EQ(checked(s, 256, 257), std::vector<std::int32_t>{257});
  EXPECT_EQ(checked(s, 511, 767), std::vector<std::int32_t>{511});
  EXPECT_EQ(checked(s, 768, 1023), std::vector<std::int32_t>{768});
  EXPECT_EQ(checked(s, 1024, 1279), std::vector<std::int32_t>{1024});
  EXPECT_EQ(checked(s, 1280, 1333), std::vector<std::int32_t>{1297});
  s.program = 127;
  s.channel = 14;
  EXPECT_EQ(checked(s, 1024, 1279), std::vector<std::int32_t>{1151});
  EXPECT_EQ(checked(s, 768, 1023), std::vector<std::int32_t>{782});
  // A key mode from a foreign file is no menu item: no mode is checked.
  s.key_mode = 1306;
  EXPECT_EQ(checked(s, 1297, 1332), std::vector<std::int32_t>{});
}

TEST(SettingsCommands, BarsClampOutOfRangeThumbsAndIgnoreOtherCodes) {
  // {velocity, code, thumb, expected}. The thumb: top of the bar (position 1)
  // is 127, bottom (127) is 1.
  const std::tuple<std::int32_t, int, int, std::int32_t> velocity_rows[] = {
      {64, kLineUp, 0, 65},      {64, kPageUp, 0, 72},          {64, kPageDown, 0, 56},
      {127, kLineUp, 0, 127},    {125, kPageUp, 0, 127},        {1, kLineDown, 0, 1},
      {9, kPageDown, 0, 1},      {10, kPageDown, 0, 2},         {64, kThumbTrack, 1, 127},
      {64, kThumbTrack, 127, 1}, {64, kThumbPosition, 28, 100}, {64, kThumbTrack, 0, 127},
      {64, kThumbTrack, 200, 1}};
  for (const auto& [velocity, code, thumb, expected] : velocity_rows) {
    EXPECT_EQ(VelocityAfterScroll(velocity, code, thumb), expected)
        << velocity << " " << code << " " << thumb;
  }
  for (int code : {6, 7, 8, 9}) EXPECT_EQ(VelocityAfterScroll(64, code, 10), std::nullopt) << code;
  EXPECT_EQ(VelocityBarPosition(127), 1);
  EXPECT_EQ(VelocityBarPosition(1), 127);

  const std::tuple<int, int, std::int32_t> bend_rows[] = {
      {kThumbTrack, 1, 16382},   {kThumbTrack, 16383, 0}, {kThumbTrack, 8192, 8191},
      {kThumbTrack, 0, 16383},   {kThumbTrack, 20000, 0}, {kThumbTrack, -5, 16383},
      {kThumbPosition, 1, 8191},  // released: the centre
  };
  for (const auto& [code, thumb, expected] : bend_rows) {
    EXPECT_EQ(PitchBendAfterScroll(code, thumb), expected) << code << " " << thumb;
  }
  for (int code : {kLineUp, kLineDown, kPageUp, kPageDown, kTop, kBottom, kEndScroll}) {
    EXPECT_EQ(PitchBendAfterScroll(code, 100), std::nullopt) << code;
  }
  EXPECT_EQ(PitchBendBarPosition(kPitchBendReleased), kPitchBarCentre);
  // Closed: the value moves, nothing is sent.
  RecordingSink sink;
  Instrument closed;
  closed.out = &sink;
  EXPECT_EQ(ScrollPitchBend(closed, kThumbTrack, 100), 16283);
  EXPECT_TRUE(sink.sent.empty());
}

}  // namespace
}  // namespace tonvale
