#include "perform/settings_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "recording_sink.h"

namespace tonvale {
namespace {

using test::RecordingSink;

struct Rig {
  RecordingSink sink;
  Instrument inst;
  explicit Rig(bool open) {
    inst.out = &sink;
    if (open) {
      sink.Open(-1);
      inst.settings.device_open = 1;
    }
  }
};

TEST(SettingsCommands, ClassifiesTheWholeIdentifierSpace) {
  const int devices = 3;
  struct Case {
    std::int32_t id;
    Command expected;
  };
  const Case cases[] = {
      {0, {CommandKind::kRepaint, 0}},
      {255, {CommandKind::kRepaint, 0}},
      {256, {CommandKind::kDeviceOpen, 0}},
      {257, {CommandKind::kDeviceClose, 0}},
      {258, {CommandKind::kRepaint, 0}},
      {510, {CommandKind::kRepaint, 0}},
      {511, {CommandKind::kDevice, -1}},
      {512, {CommandKind::kDevice, 0}},
      {514, {CommandKind::kDevice, 2}},
      {515, {CommandKind::kIgnored, 0}},  // no fourth device
      {767, {CommandKind::kIgnored, 0}},
      {768, {CommandKind::kChannel, 0}},
      {782, {CommandKind::kChannel, 14}},
      {783, {CommandKind::kIgnored, 0}},  // channel 16 is the bass channel
      {1023, {CommandKind::kIgnored, 0}},
      {1024, {CommandKind::kProgram, 0}},
      {1151, {CommandKind::kProgram, 127}},
      {1152, {CommandKind::kIgnored, 0}},
      {1279, {CommandKind::kIgnored, 0}},
      {1280, {CommandKind::kOwned, 1280}},
      {1287, {CommandKind::kOwned, 1287}},
      {1290, {CommandKind::kOwned, 1290}},
      {1296, {CommandKind::kOwned, 1296}},
      {1297, {CommandKind::kKeyMode, 1297}},
      {1305, {CommandKind::kKeyMode, 1305}},
      {1306, {CommandKind::kIgnored, 0}},
      {1311, {CommandKind::kIgnored, 0}},
      {1312, {CommandKind::kKeyMode, 1312}},
      {1322, {CommandKind::kIgnored, 0}},
      {1328, {CommandKind::kKeyMode, 1328}},
      {1332, {CommandKind::kKeyMode, 1332}},
      {1333, {CommandKind::kAutoBass, 0}},
      {1334, {CommandKind::kIgnored, 0}},
      {0xFFFF, {CommandKind::kIgnored, 0}},
      {(5 << 16) | 256, {CommandKind::kDeviceOpen, 0}},  // notification code ignored
      {(1 << 16) | 1039, {CommandKind::kProgram, 15}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifyCommand(c.id, devices), c.expected) << "identifier " << c.id;
  }
  EXPECT_EQ(DeviceCommand(-1), 511);
  EXPECT_EQ(DeviceCommand(0), 512);
  EXPECT_EQ(DeviceCommand(7), 519);
}

// The ids of each group that carry a check mark.
std::vector<std::int32_t> Checked(const Settings& s, std::int32_t first, std::int32_t last) {
  std::vector<std::int32_t> ids;
  for (std::int32_t id = first; id <= last; ++id) {
    if (CommandChecked(s, id)) ids.push_back(id);
  }
  return ids;
}

TEST(SettingsCommands, ExactlyOneCheckPerGroupMirrorsTheSettings) {
  Settings s;
  EXPECT_EQ(Checked(s, 256, 257), std::vector<std::int32_t>{257});
  EXPECT_EQ(Checked(s, 511, 767), std::vector<std::int32_t>{511});
  EXPECT_EQ(Checked(s, 768, 1023), std::vector<std::int32_t>{768});
  EXPECT_EQ(Checked(s, 1024, 1279), std::vector<std::int32_t>{1024});
  EXPECT_EQ(Checked(s, 1297, 1332), std::vector<std::int32_t>{1297});
  EXPECT_EQ(Checked(s, 1280, 1296), std::vector<std::int32_t>{});
  EXPECT_FALSE(CommandChecked(s, 1333));

  s.device_open = 1;
  s.midi_device = 2;
  s.channel = 14;
  s.program = 127;
  s.key_mode = 1332;
  s.auto_bass = 1;
  EXPECT_EQ(Checked(s, 256, 257), std::vector<std::int32_t>{256});
  EXPECT_EQ(Checked(s, 511, 767), std::vector<std::int32_t>{514});
  EXPECT_EQ(Checked(s, 768, 1023), std::vector<std::int32_t>{782});
  EXPECT_EQ(Checked(s, 1024, 1279), std::vector<std::int32_t>{1151});
  EXPECT_EQ(Checked(s, 1297, 1332), std::vector<std::int32_t>{1332});
  EXPECT_TRUE(CommandChecked(s, 1333));

  // A key mode from a foreign file is no menu item: no mode is checked.
  s.key_mode = 1306;
  EXPECT_EQ(Checked(s, 1297, 1332), std::vector<std::int32_t>{});
}

TEST(SettingsCommands, ChannelAndProgramSendOnlyWhileOpen) {
  Rig open(true);
  open.inst.settings.program = 40;
  ChooseChannel(open.inst, 3);
  EXPECT_EQ(open.inst.settings.channel, 3);
  ASSERT_EQ(open.sink.sent.size(), 2u);
  EXPECT_EQ(RecordingSink::Bytes(open.sink.sent[0]), (std::vector<std::uint8_t>{0xC3, 0x28, 0}));
  EXPECT_EQ(RecordingSink::Bytes(open.sink.sent[1]), (std::vector<std::uint8_t>{0xCF, 0x28, 0}));
  open.sink.Clear();
  ChooseProgram(open.inst, 15);
  EXPECT_EQ(open.inst.settings.program, 15);
  ASSERT_EQ(open.sink.sent.size(), 2u);
  EXPECT_EQ(RecordingSink::Bytes(open.sink.sent[0]), (std::vector<std::uint8_t>{0xC3, 0x0F, 0}));
  EXPECT_EQ(RecordingSink::Bytes(open.sink.sent[1]), (std::vector<std::uint8_t>{0xCF, 0x0F, 0}));

  Rig closed(false);
  ChooseChannel(closed.inst, 9);
  ChooseProgram(closed.inst, 57);
  ChooseKeyMode(closed.inst.settings, 1319);
  ToggleAutoBass(closed.inst.settings);
  EXPECT_EQ(closed.inst.settings.channel, 9);
  EXPECT_EQ(closed.inst.settings.program, 57);
  EXPECT_EQ(closed.inst.settings.key_mode, 1319);
  EXPECT_EQ(closed.inst.settings.auto_bass, 1);
  ToggleAutoBass(closed.inst.settings);
  EXPECT_EQ(closed.inst.settings.auto_bass, 0);
  EXPECT_TRUE(closed.sink.sent.empty());

  // A key mode change sends nothing, even while open.
  open.sink.Clear();
  ChooseKeyMode(open.inst.settings, 1298);
  ToggleAutoBass(open.inst.settings);
  EXPECT_TRUE(open.sink.sent.empty());
}

TEST(SettingsCommands, VelocityScrollClampsAtBothEnds) {
  EXPECT_EQ(VelocityAfterScroll(64, kLineUp, 0), 65);
  EXPECT_EQ(VelocityAfterScroll(64, kLineDown, 0), 63);
  EXPECT_EQ(VelocityAfterScroll(64, kPageUp, 0), 72);
  EXPECT_EQ(VelocityAfterScroll(64, kPageDown, 0), 56);
  EXPECT_EQ(VelocityAfterScroll(125, kPageUp, 0), 127);
  EXPECT_EQ(VelocityAfterScroll(127, kLineUp, 0), 127);
  EXPECT_EQ(VelocityAfterScroll(1, kLineDown, 0), 1);
  EXPECT_EQ(VelocityAfterScroll(5, kPageDown, 0), 1);
  EXPECT_EQ(VelocityAfterScroll(9, kPageDown, 0), 1);
  EXPECT_EQ(VelocityAfterScroll(10, kPageDown, 0), 2);
  // The thumb: top of the bar (position 1) is 127, bottom (127) is 1.
  EXPECT_EQ(VelocityAfterScroll(64, kThumbTrack, 1), 127);
  EXPECT_EQ(VelocityAfterScroll(64, kThumbTrack, 127), 1);
  EXPECT_EQ(VelocityAfterScroll(64, kThumbPosition, 28), 100);
  EXPECT_EQ(VelocityAfterScroll(64, kThumbTrack, 0), 127);
  EXPECT_EQ(VelocityAfterScroll(64, kThumbTrack, 200), 1);
  for (int code : {6, 7, 8, 9}) {
    EXPECT_EQ(VelocityAfterScroll(64, code, 10), std::nullopt) << "code " << code;
  }
  EXPECT_EQ(VelocityBarPosition(127), 1);
  EXPECT_EQ(VelocityBarPosition(1), 127);
}

TEST(SettingsCommands, PitchBendActsOnlyOnDragAndRelease) {
  EXPECT_EQ(PitchBendAfterScroll(kThumbTrack, 1), 16382);
  EXPECT_EQ(PitchBendAfterScroll(kThumbTrack, 16383), 0);
  EXPECT_EQ(PitchBendAfterScroll(kThumbTrack, 8192), 8191);
  EXPECT_EQ(PitchBendAfterScroll(kThumbTrack, 0), 16383);
  EXPECT_EQ(PitchBendAfterScroll(kThumbTrack, 20000), 0);
  EXPECT_EQ(PitchBendAfterScroll(kThumbTrack, -5), 16383);
  for (int thumb : {1, 100, 8192, 16383}) {
    EXPECT_EQ(PitchBendAfterScroll(kThumbPosition, thumb), 8191);
  }
  for (int code : {kLineUp, kLineDown, kPageUp, kPageDown, kTop, kBottom, kEndScroll}) {
    EXPECT_EQ(PitchBendAfterScroll(code, 100), std::nullopt) << "code " << code;
  }
  // The released thumb returns to the centre of the bar.
  EXPECT_EQ(PitchBendBarPosition(kPitchBendReleased), kPitchBarCentre);

  Rig open(true);
  open.inst.settings.channel = 3;
  EXPECT_EQ(ScrollPitchBend(open.inst, kThumbTrack, 1), 16382);
  EXPECT_EQ(ScrollPitchBend(open.inst, kPageUp, 1), std::nullopt);
  EXPECT_EQ(ScrollPitchBend(open.inst, kThumbPosition, 1), 8191);
  ASSERT_EQ(open.sink.sent.size(), 2u);
  EXPECT_EQ(RecordingSink::Bytes(open.sink.sent[0]), (std::vector<std::uint8_t>{0xE3, 0x7E, 0x7F}));
  EXPECT_EQ(RecordingSink::Bytes(open.sink.sent[1]), (std::vector<std::uint8_t>{0xE3, 0x7F, 0x3F}));

  Rig closed(false);
  EXPECT_EQ(ScrollPitchBend(closed.inst, kThumbTrack, 100), 16283);
  EXPECT_TRUE(closed.sink.sent.empty());
}

}  // namespace
}  // namespace tonvale
