#include "devices/short_message.h"

#include <gtest/gtest.h>

#include <vector>

#include "perform/midi_messages.h"

namespace tonvale {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ToWireMessage, ChannelMessagesKeepTheirDataBytesAndTheRestIsDropped) {
  const struct {
    std::uint32_t packed;
    Bytes wire;
  } kCases[] = {
      {PackShortMsg(kNoteOn, 0, 60, 127), {0x90, 0x3C, 0x7F}},
      {PackShortMsg(kControlChange, 15, kAllNotesOff, 0), {0xBF, 0x7B, 0x00}},
      {0x00407AA5, {0xA5, 0x7A, 0x40}},  // key pressure
      {0xFF7F3C90, {0x90, 0x3C, 0x7F}},  // byte 3 is outside the message
      // Program change and channel pressure carry one data byte: a second one
      // would read as running status on the wire, and is not even looked at.
      {PackShortMsg(kProgramChange, 3, 40, 0x55), {0xC3, 0x28}},
      {0x00FF7FD9, {0xD9, 0x7F}},
      // Not channel messages, or data bytes with the top bit set: nothing.
      {0x00003C3C, {}},
      {0x000000F8, {}},
      {0x007F3CF0, {}},
      {PackShortMsg(kNoteOn, 0, 0x80, 100), {}},
      {PackShortMsg(kNoteOn, 0, 60, 0x80), {}},
  };
  for (const auto& c : kCases) {
    const WireMessage msg = ToWireMessage(c.packed);
    EXPECT_EQ(Bytes(msg.bytes.begin(), msg.bytes.begin() + static_cast<long>(msg.size)), c.wire)
        << std::hex << c.packed;
  }
}

}  // namespace
}  // namespace tonvale
