#include "perform/midi_messages.h"

#include <gtest/gtest.h>

#include "perform_fixture.h"

namespace tonvale {
namespace {

using test::PlayingInstrument;
using test::RecordingSink;
using Bytes = std::vector<std::uint8_t>;

std::vector<Bytes> AllBytes(const RecordingSink& sink) {
  std::vector<Bytes> out;
  for (std::uint32_t m : sink.sent) out.push_back(RecordingSink::Bytes(m));
  return out;
}

TEST(MidiMessages, PackedBytesOfEveryKind) {
  PlayingInstrument p;
  SendShortMsg(p.inst, kNoteOn, 0, 60, 127);
  SendShortMsg(p.inst, kNoteOff, 0, 60, 0);
  SendPitchBend(p.inst, 0, 8191);
  SendPitchBend(p.inst, 0, 16383);
  SendPitchBend(p.inst, 0, 0);
  SendPitchBend(p.inst, 5, 8192);
  SendProgramChange(p.inst, 3, 40);
  EXPECT_EQ(AllBytes(p.sink), (std::vector<Bytes>{{0x90, 0x3C, 0x7F},
                                                  {0x80, 0x3C, 0x00},
                                                  {0xE0, 0x7F, 0x3F},
                                                  {0xE0, 0x7F, 0x7F},
                                                  {0xE0, 0x00, 0x00},
                                                  {0xE5, 0x00, 0x40},
                                                  {0xC3, 0x28, 0x00}}));
  // Byte 3 of a packed message is always zero.
  for (std::uint32_t m : p.sink.sent) EXPECT_EQ(m >> 24, 0u);
}

TEST(MidiMessages, SilenceAllSendsSixteenAllNotesOffAscending) {
  PlayingInstrument p;
  SilenceAll(p.inst);
  ASSERT_EQ(p.sink.sent.size(), 16u);
  for (std::uint8_t c = 0; c < 16; ++c) {
    EXPECT_EQ(RecordingSink::Bytes(p.sink.sent[c]), (Bytes{std::uint8_t(0xB0 | c), 0x7B, 0x00}));
  }
}

TEST(MidiMessages, NothingGoesOutWhileClosed) {
  RecordingSink sink;
  Instrument inst;
  inst.out = &sink;
  sink.Open(0);  // even if the back-end would take it
  SendShortMsg(inst, kNoteOn, 0, 60, 127);
  SilenceAll(inst);
  SendProgramToBoth(inst);
  EXPECT_TRUE(sink.sent.empty());
}

TEST(MidiMessages, OpenAndCloseCommands) {
  RecordingSink sink;
  Instrument inst;
  inst.out = &sink;
  inst.settings.channel = 2;
  inst.settings.program = 19;

  // The first open at start sends the program to the played channel only.
  EXPECT_EQ(OpenOutputAtStart(inst), OpenResult::kOpened);
  EXPECT_EQ(inst.settings.device_open, 1);
  EXPECT_EQ(sink.opened_device, -1);
  EXPECT_EQ(AllBytes(sink), (std::vector<Bytes>{{0xC2, 19, 0}}));

  // Opening while open sends nothing.
  sink.Clear();
  EXPECT_EQ(OpenOutput(inst), OpenResult::kAlreadyOpen);
  EXPECT_TRUE(sink.sent.empty());
  EXPECT_EQ(sink.open_calls, 1);

  // Close silences all channels, then closes.
  EXPECT_TRUE(CloseOutput(inst));
  EXPECT_EQ(sink.sent.size(), 16u);
  EXPECT_EQ(sink.close_calls, 1);
  EXPECT_EQ(inst.settings.device_open, 0);
  EXPECT_FALSE(CloseOutput(inst));
  EXPECT_EQ(sink.close_calls, 1);

  // A program chosen while closed reaches both channels at the next open.
  sink.Clear();
  inst.settings.program = 40;
  EXPECT_EQ(OpenOutput(inst), OpenResult::kOpened);
  EXPECT_EQ(AllBytes(sink), (std::vector<Bytes>{{0xC2, 40, 0}, {0xCF, 40, 0}}));
}

TEST(MidiMessages, FailedOpenStaysClosed) {
  RecordingSink sink;
  sink.fail_open = true;
  Instrument inst;
  inst.out = &sink;
  EXPECT_EQ(OpenOutput(inst), OpenResult::kFailed);
  EXPECT_EQ(inst.settings.device_open, 0);
  EXPECT_TRUE(sink.sent.empty());
}

TEST(MidiMessages, DeviceChangeWhileOpenSilencesThenReopens) {
  PlayingInstrument p;
  p.inst.settings.program = 57;
  EXPECT_EQ(ChangeDevice(p.inst, 0), OpenResult::kOpened);
  EXPECT_EQ(p.sink.opened_device, 0);
  EXPECT_EQ(p.inst.settings.midi_device, 0);
  const auto bytes = AllBytes(p.sink);
  ASSERT_EQ(bytes.size(), 18u);
  for (std::uint8_t c = 0; c < 16; ++c) EXPECT_EQ(bytes[c][0], 0xB0 | c);
  EXPECT_EQ(bytes[16], (Bytes{0xC0, 57, 0}));
  EXPECT_EQ(bytes[17], (Bytes{0xCF, 57, 0}));

  // Closed: the choice is only stored.
  CloseOutput(p.inst);
  p.sink.Clear();
  const int opens = p.sink.open_calls;
  ChangeDevice(p.inst, -1);
  EXPECT_EQ(p.inst.settings.midi_device, -1);
  EXPECT_EQ(p.sink.open_calls, opens);
  EXPECT_TRUE(p.sink.sent.empty());
}

}  // namespace
}  // namespace tonvale
