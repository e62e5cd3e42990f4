#include "devices/short_message.h"

#include <gtest/gtest.h>

#include "perform/midi_messages.h"

namespace tonvale {
namespace {

std::vector<std::uint8_t> Wire(std::uint32_t packed) {
  const WireMessage msg = ToWireMessage(packed);
  return {msg.bytes.begin(), msg.bytes.begin() + static_cast<long>(msg.size)};
}

TEST(ToWireMessage, ChannelMessagesKeepTheirDataBytesAndTheRestIsDropped) {
  EXPECT_EQ(Wire(PackShortMsg(kNoteOn, 0, 60, 127)), (std::vector<std::uint8_t>{0x90, 0x3C, 0x7F}));
  EXPECT_EQ(Wire(0xFF407AB5), (std::vector<std::uint8_t>{0xB5, 0x7A, 0x40}));  // byte 3 is not sent
  // One data byte only: a second one would read as running status.
  EXPECT_EQ(Wire(PackShortMsg(kProgramChange, 3, 40, 0x55)), (std::vector<std::uint8_t>{0xC3, 40}));
  EXPECT_EQ(Wire(0x00FF7FD9), (std::vector<std::uint8_t>{0xD9, 0x7F}));
  // Not channel messages, or data bytes with the top bit set: nothing.
  for (std::uint32_t bad : {0x3C3Cu, 0xF8u, 0x7F3CF0u, PackShortMsg(kNoteOn, 0, 0x80, 1),
                            PackShortMsg(kNoteOn, 0, 60, 0x80)}) {
    EXPECT_TRUE(Wire(bad).empty()) << std::hex << bad;
  }
}

}  // namespace
}  // namespace tonvale
