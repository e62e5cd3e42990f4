#include "devices/short_message.h"

#include <gtest/gtest.h>

#include <vector>

#include "perform/midi_messages.h"

namespace tonvale {
namespace {

std::vector<std::uint8_t> Bytes(std::uint32_t packed) {
  const WireMessage msg = ToWireMessage(packed);
  return {msg.bytes.begin(), msg.bytes.begin() + static_cast<long>(msg.size)};
}

TEST(ToWireMessage, ThreeByteMessagesKeepBothDataBytes) {
  EXPECT_EQ(Bytes(PackShortMsg(kNoteOn, 0, 60, 127)),
            (std::vector<std::uint8_t>{0x90, 0x3C, 0x7F}));
  EXPECT_EQ(Bytes(PackShortMsg(kNoteOff, 0, 60, 0)), (std::vector<std::uint8_t>{0x80, 0x3C, 0x00}));
  EXPECT_EQ(Bytes(PackShortMsg(kControlChange, 15, kAllNotesOff, 0)),
            (std::vector<std::uint8_t>{0xBF, 0x7B, 0x00}));
  EXPECT_EQ(Bytes(PackShortMsg(kPitchBend, 0, 0x7F, 0x3F)),
            (std::vector<std::uint8_t>{0xE0, 0x7F, 0x3F}));
  EXPECT_EQ(Bytes(0x00407AA5), (std::vector<std::uint8_t>{0xA5, 0x7A, 0x40}));  // key pressure
}

TEST(ToWireMessage, ProgramChangeAndChannelPressureCarryOneDataByte) {
  // The third byte of a packed program change means nothing to a receiver
  // and must not reach the wire, where it would read as running status.
  EXPECT_EQ(Bytes(PackShortMsg(kProgramChange, 3, 40, 0)), (std::vector<std::uint8_t>{0xC3, 0x28}));
  EXPECT_EQ(Bytes(PackShortMsg(kProgramChange, 3, 40, 0x55)),
            (std::vector<std::uint8_t>{0xC3, 0x28}));
  EXPECT_EQ(Bytes(0x00007FD9), (std::vector<std::uint8_t>{0xD9, 0x7F}));
  EXPECT_EQ(ToWireMessage(0x00FF28C3).size, 2u);  // a bad unused byte is not looked at
}

TEST(ToWireMessage, DropsWhatIsNotAChannelMessage) {
  EXPECT_EQ(ToWireMessage(0x00003C3C).size, 0u);  // data byte in the status place
  EXPECT_EQ(ToWireMessage(0).size, 0u);
  EXPECT_EQ(ToWireMessage(0x000000F8).size, 0u);  // system real time
  EXPECT_EQ(ToWireMessage(0x000000FF).size, 0u);
  EXPECT_EQ(ToWireMessage(0x007F3CF0).size, 0u);  // system exclusive start
  EXPECT_EQ(ToWireMessage(0x007F3CEF).size, 3u);  // last channel status still passes
}

TEST(ToWireMessage, DropsDataBytesWithTheTopBitSet) {
  EXPECT_EQ(ToWireMessage(PackShortMsg(kNoteOn, 0, 0x80, 100)).size, 0u);
  EXPECT_EQ(ToWireMessage(PackShortMsg(kNoteOn, 0, 60, 0x80)).size, 0u);
  EXPECT_EQ(ToWireMessage(PackShortMsg(kProgramChange, 0, 0x80, 0)).size, 0u);
  EXPECT_EQ(ToWireMessage(PackShortMsg(kNoteOn, 0, 0x7F, 0x7F)).size, 3u);
  // Byte 3 is outside the message.
  EXPECT_EQ(Bytes(0xFF7F3C90), (std::vector<std::uint8_t>{0x90, 0x3C, 0x7F}));
}

}  // namespace
}  // namespace tonvale
