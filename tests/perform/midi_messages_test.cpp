// Opening, closing and changing the device, and the program changes they
// send, are asserted through the window in tests/shell/main_window_test.cpp.
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

TEST(MidiMessages, PackedBytesOfEveryKindAndSilenceAll) {
  PlayingInstrument p;
  SendShortMsg(p.inst, kNoteOn, 0, 60, 127);
  SendShortMsg(p.inst, kNoteOff, 0, 60, 0);
  SendPitchBend(p.inst, 0, 8191);
  SendPitchBend(p.inst, 0, 16383);
  SendPitchBend(p.inst, 0, 0);
  SendPitchBend(p.inst, 5, 8192);
  SendProgramChange(p.inst, 3, 40);
  std::vector<Bytes> expected = {{0x90, 0x3C, 0x7F}, {0x80, 0x3C, 0x00}, {0xE0, 0x7F, 0x3F},
                                 {0xE0, 0x7F, 0x7F}, {0xE0, 0x00, 0x00}, {0xE5, 0x00, 0x40},
                                 {0xC3, 0x28, 0x00}};
  // All Notes Off on the sixteen channels, ascending.
  SilenceAll(p.inst);
  for (std::uint8_t c = 0; c < 16; ++c) expected.push_back({std::uint8_t(0xB0 | c), 0x7B, 0x00});
  EXPECT_EQ(AllBytes(p.sink), expected);
  // Byte 3 of a packed message is always zero.
  for (std::uint32_t m : p.sink.sent) EXPECT_EQ(m >> 24, 0u);
}

TEST(MidiMessages, NothingGoesOutWhileClosedOrAfterAFailedOpen) {
  RecordingSink sink;
  Instrument inst;
  inst.out = &sink;
  sink.Open(0);  // even if the back-end would take it
  SendShortMsg(inst, kNoteOn, 0, 60, 127);
  SilenceAll(inst);
  SendProgramToBoth(inst);
  EXPECT_TRUE(sink.sent.empty());

  sink.fail_open = true;
  EXPECT_EQ(OpenOutput(inst), OpenResult::kFailed);
  EXPECT_EQ(inst.settings.device_open, 0);
  EXPECT_TRUE(sink.sent.empty());
}

}  // namespace
}  // namespace tonvale
