#include "perform/sustain_pedal.h"

#include <gtest/gtest.h>

#include "perform/note_sounding.h"
#include "perform/settings_commands.h"
#include "perform_fixture.h"

namespace tonvale {

using namespace test;

namespace {

constexpr std::uint32_t Pedal(std::uint32_t value, std::uint32_t chan = 0) {
  return (0xB0u | chan) | (64u << 8) | (value << 16);
}
constexpr std::uint32_t Program(std::uint32_t program, std::uint32_t chan) {
  return (0xC0u | chan) | (program << 8);
}

}  // namespace

TEST(SustainPedal, SpaceHoldsItWhereItWentDownAndPlaysNoNote) {
  Player p;
  // Repeats and a second press of Space held do nothing; Space is in no
  // group, so Shift still raises A; the events are offered with shift 0.
  p.Play("+_ *_ +_ shift +A -A none -_");
  EXPECT_EQ(p.sink.sent, (Sent{Pedal(127), On(72), Off(72), Pedal(0)}));
  EXPECT_EQ(p.offered, (std::vector<Call>{{kKeyDown, Press(57), 0},
                                          {kKeyDown, Press(30), 1},
                                          {kKeyUp, Release(30), 1},
                                          {kKeyUp, Release(57), 0}}));
  EXPECT_EQ(p.pedal_marks, "+-");
  // With the bass on channel 4 and back: the pedal comes up on both, though
  // the bass was switched off while it was held.
  p.sink.Clear();
  p.inst.settings.channel = 3;
  p.inst.settings.auto_bass = 1;
  p.Play("+_");
  p.inst.settings.auto_bass = 0;
  p.Play("-_ +_ -_");
  EXPECT_EQ(p.sink.sent, (Sent{Pedal(127, 3), Pedal(127, 15), Pedal(0, 3), Pedal(0, 15),
                               Pedal(127, 3), Pedal(0, 3)}));
}

TEST(SustainPedal, ReleasedFirstItStaysUpUntilSpaceGoesDownAgain) {
  Player p;
  // A channel change lets it go on the channel left before the programs;
  // Space then comes up silently, but is still offered to the recorder.
  p.Play("+_");
  ChooseChannel(p.inst, 2);
  p.Play("-_ +_");
  ChooseProgram(p.inst, 5);
  p.Play("-_");
  EXPECT_EQ(p.sink.sent, (Sent{Pedal(127), Pedal(0), Program(0, 2), Program(0, 15), Pedal(127, 2),
                               Pedal(0, 2), Program(5, 2), Program(5, 15)}));
  EXPECT_EQ(p.offered.size(), 4u);
  // Closing lets it go before All Notes Off. While closed a press does
  // nothing and a release lets go of Space, which goes down afresh later.
  p.sink.Clear();
  p.Play("+_ close -_ +_ open -_ +_ -_");
  Sent closing{Pedal(127, 2), Pedal(0, 2)};
  for (std::uint32_t chan = 0; chan < 16; ++chan) closing.push_back(0x7BB0u | chan);
  closing.insert(closing.end(), {Program(5, 2), Program(5, 15), Pedal(127, 2), Pedal(0, 2)});
  EXPECT_EQ(p.sink.sent, closing);
  EXPECT_EQ(p.offered.size(), 7u);
  EXPECT_EQ(p.pedal_marks, "+-+-+-+-");
}

TEST(SustainPedal, PlaybackMovesAPedalOfItsOwn) {
  Player p;
  const auto play = [&p](std::int32_t message) {
    PlayRecordedEvent(p.inst, message, message == kKeyDown ? Press(57) : Release(57), 0);
  };
  // Live and played pedals overlap without ending each other's hold; a
  // played press on another channel lifts the first one there.
  p.Play("+_");
  play(kKeyDown);
  play(kKeyUp);
  EXPECT_TRUE(PedalHeld(p.inst));
  play(kKeyUp);  // nothing is held by playback any more
  play(kKeyDown);
  p.inst.settings.channel = 4;
  play(kKeyDown);
  ReleasePedal(p.inst);
  p.Play("-_");
  EXPECT_EQ(p.sink.sent, (Sent{Pedal(127), Pedal(127), Pedal(0), Pedal(127), Pedal(0),
                               Pedal(127, 4), Pedal(0), Pedal(0, 4)}));
  EXPECT_FALSE(PedalHeld(p.inst));
  EXPECT_EQ(p.pedal_marks, "+++++-");  // shown while either is held
  EXPECT_TRUE(p.marks.empty());
}

}  // namespace tonvale
