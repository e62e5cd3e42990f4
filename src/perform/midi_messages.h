// MIDI 1.0 channel messages, packed as short messages, and the opening and
// closing of the output.
#pragma once

#include <cstdint>

#include "perform/instrument.h"

namespace tonvale {

inline constexpr std::uint8_t kNoteOff = 0x80;
inline constexpr std::uint8_t kNoteOn = 0x90;
inline constexpr std::uint8_t kControlChange = 0xB0;
inline constexpr std::uint8_t kProgramChange = 0xC0;
inline constexpr std::uint8_t kPitchBend = 0xE0;
inline constexpr std::uint8_t kAllNotesOff = 123;
inline constexpr std::uint8_t kSustainController = 64;

// Byte 0 = status OR channel, byte 1 = data1, byte 2 = data2. Nothing is
// masked: callers keep every value in its MIDI range.
constexpr std::uint32_t PackShortMsg(std::uint32_t status, std::uint32_t chan, std::uint32_t data1,
                                     std::uint32_t data2) {
  return (status | chan) | (data1 << 8) | (data2 << 16);
}

// Sends at once; nothing goes out while no output is open.
void SendShortMsg(Instrument& inst, std::uint32_t status, std::uint32_t chan, std::uint32_t data1,
                  std::uint32_t data2);
void SendProgramChange(Instrument& inst, std::int32_t chan, std::int32_t prog);
void SendControlChange(Instrument& inst, std::int32_t chan, std::uint32_t controller,
                       std::uint32_t value);
// `value` 0..16383, split into its low and high seven bits.
void SendPitchBend(Instrument& inst, std::int32_t chan, std::int32_t value);
// All Notes Off on channels 0..15, ascending; nothing else.
void SilenceAll(Instrument& inst);
// The current program on the played channel, then on the bass channel.
void SendProgramToBoth(Instrument& inst);

enum class OpenResult { kAlreadyOpen, kOpened, kFailed };

// The open command: opens `midi_device`, sends the program to both channels.
OpenResult OpenOutput(Instrument& inst);
// The first open, when the window is created: the program goes to the played
// channel only.
OpenResult OpenOutputAtStart(Instrument& inst);
// The close command: silences every channel, then closes. Returns whether
// something was open.
bool CloseOutput(Instrument& inst);
// A device chosen from the menu: while open, the old device is silenced and
// closed and the new one opened. Returns the result of that reopening
// (kAlreadyOpen when the output was closed and stays so).
OpenResult ChangeDevice(Instrument& inst, std::int32_t device);

}  // namespace tonvale
