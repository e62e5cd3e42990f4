// The commands that change the performance settings (device, channel,
// program, key mode, automatic bass), what the menu check marks show for the
// settings, and the arithmetic of the velocity and pitch-bend bars.
#pragma once

#include <cstdint>
#include <optional>

#include "perform/instrument.h"
#include "perform/midi_messages.h"

namespace tonvale {

inline constexpr std::int32_t kCmdDeviceOpen = 256;
inline constexpr std::int32_t kCmdDeviceClose = 257;
inline constexpr std::int32_t kCmdDeviceMapper = 511;   // the default output, device -1
inline constexpr std::int32_t kCmdDeviceFirst = 512;    // + device 0..255
inline constexpr std::int32_t kCmdChannelFirst = 768;   // + channel index 0..14
inline constexpr std::int32_t kCmdProgramFirst = 1024;  // + program 0..127
inline constexpr std::int32_t kCmdAutoBass = 1333;
// Help, About, recording, playback and file commands: owned elsewhere.
inline constexpr std::int32_t kCmdOwnedFirst = 1280;
inline constexpr std::int32_t kCmdOwnedLast = 1296;

inline constexpr int kDevicesOffered = 256;
inline constexpr int kChannelsOffered = 15;  // channel 16 carries the bass
inline constexpr int kProgramsOffered = 128;

enum class CommandKind {
  kDeviceOpen,
  kDeviceClose,
  kDevice,   // value: device -1 .. count - 1
  kChannel,  // value: channel index 0..14
  kProgram,  // value: program 0..127
  kKeyMode,  // value: the key-mode identifier
  kAutoBass,
  kOwned,    // 1280..1296: handed to the commands that own them
  kRepaint,  // any other identifier below 511
  kIgnored,  // identifiers nothing produces that would carry a value out of range
};

struct Command {
  CommandKind kind = CommandKind::kIgnored;
  std::int32_t value = 0;
  bool operator==(const Command&) const = default;
};

// Sorts a command identifier (low 16 bits of the command) into its kind.
// Device identifiers beyond the `device_count` devices, channels beyond 15,
// programs beyond 127 and key-mode gaps (1306..1311, 1322..1327) are
// ignored rather than taken as out-of-range settings.
Command ClassifyCommand(std::int32_t id, int device_count);

// The menu item of a device (511 for the default output, -1).
constexpr std::int32_t DeviceCommand(std::int32_t device) {
  return device == -1 ? kCmdDeviceMapper : kCmdDeviceFirst + device;
}

// Whether menu item `id` carries a check mark under these settings: exactly
// one device, channel, instrument and key mode; 256 when open, 257 when
// closed; 1333 when the automatic bass is on.
bool CommandChecked(const Settings& settings, std::int32_t id);

// The settings commands. Each sends only while the output is open; a channel
// or instrument change lets go of the pedal first.
void ChooseChannel(Instrument& inst, std::int32_t channel);
void ChooseProgram(Instrument& inst, std::int32_t program);
void ChooseKeyMode(Settings& settings, std::int32_t mode);  // nothing is sent
void ToggleAutoBass(Settings& settings);

// Scroll codes of a vertical scroll bar.
enum ScrollCode : int {
  kLineUp = 0,
  kLineDown = 1,
  kPageUp = 2,
  kPageDown = 3,
  kThumbPosition = 4,  // the thumb was let go at `thumb`
  kThumbTrack = 5,     // the thumb is being dragged to `thumb`
  kTop = 6,
  kBottom = 7,
  kEndScroll = 8,
};

// Velocity bar: range 1..127, top = 127.
inline constexpr int kVelocityBarMin = 1;
inline constexpr int kVelocityBarMax = 127;
constexpr int VelocityBarPosition(std::int32_t velocity) {
  return 128 - velocity;
}
// The new velocity, clamped to 1..127, or nothing for codes above 5.
std::optional<std::int32_t> VelocityAfterScroll(std::int32_t velocity, int code, int thumb);

// Pitch-bend bar: range 1..16383, centre 8192; only drag and release act.
inline constexpr int kPitchBarMin = 1;
inline constexpr int kPitchBarMax = 16383;
inline constexpr int kPitchBarCentre = 8192;
inline constexpr std::int32_t kPitchBendReleased = 8191;  // one below the MIDI centre
constexpr int PitchBendBarPosition(std::int32_t bend) {
  return 16383 - bend;
}
// The bend value to send, or nothing when the code does not act.
std::optional<std::int32_t> PitchBendAfterScroll(int code, int thumb);

// Applies a pitch-bend scroll: returns the bend (for the bar's position) and
// sends it on the played channel while the output is open.
std::optional<std::int32_t> ScrollPitchBend(Instrument& inst, int code, int thumb);

}  // namespace tonvale
