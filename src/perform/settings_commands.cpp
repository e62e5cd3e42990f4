#include "perform/settings_commands.h"

#include <algorithm>

#include "perform/key_table.h"
#include "perform/sustain_pedal.h"

namespace tonvale {

Command ClassifyCommand(std::int32_t id, int device_count) {
  id &= 0xFFFF;  // the notification code is not part of the command
  if (id == kCmdDeviceOpen) return {CommandKind::kDeviceOpen, 0};
  if (id == kCmdDeviceClose) return {CommandKind::kDeviceClose, 0};
  if (id < kCmdDeviceMapper) return {CommandKind::kRepaint, 0};
  if (id < kCmdChannelFirst) {
    const std::int32_t device = id - kCmdDeviceFirst;
    if (device < device_count) return {CommandKind::kDevice, device};
    return {};
  }
  if (id < kCmdProgramFirst) {
    const std::int32_t channel = id - kCmdChannelFirst;
    if (channel < kChannelsOffered) return {CommandKind::kChannel, channel};
    return {};
  }
  if (id >= kCmdOwnedFirst && id <= kCmdOwnedLast) return {CommandKind::kOwned, id};
  if (id == kCmdAutoBass) return {CommandKind::kAutoBass, 0};
  if (TonicOffset(id)) return {CommandKind::kKeyMode, id};
  const std::int32_t program = id - kCmdProgramFirst;
  if (program < kProgramsOffered) return {CommandKind::kProgram, program};
  return {};
}

bool CommandChecked(const Settings& s, std::int32_t id) {
  switch (ClassifyCommand(id, kDevicesOffered).kind) {
    case CommandKind::kDeviceOpen:
      return s.device_open != 0;
    case CommandKind::kDeviceClose:
      return s.device_open == 0;
    case CommandKind::kDevice:
      return id == DeviceCommand(s.midi_device);
    case CommandKind::kChannel:
      return id - kCmdChannelFirst == s.channel;
    case CommandKind::kProgram:
      return id - kCmdProgramFirst == s.program;
    case CommandKind::kKeyMode:
      return id == s.key_mode;
    case CommandKind::kAutoBass:
      return s.auto_bass != 0;
    default:
      return false;
  }
}

void ChooseChannel(Instrument& inst, std::int32_t channel) {
  // The pedal comes up on the channel left, before the program changes.
  ReleasePedal(inst);
  inst.settings.channel = channel;
  // The new channel and the bass channel get the current instrument; the old
  // channel keeps whatever it was playing.
  if (inst.settings.device_open != 0) SendProgramToBoth(inst);
}

void ChooseProgram(Instrument& inst, std::int32_t program) {
  // The notes the pedal holds belong to the old instrument: they end with it.
  ReleasePedal(inst);
  inst.settings.program = program;
  if (inst.settings.device_open != 0) SendProgramToBoth(inst);
}

void ChooseKeyMode(Settings& settings, std::int32_t mode) {
  settings.key_mode = mode;
}

void ToggleAutoBass(Settings& settings) {
  settings.auto_bass = settings.auto_bass != 0 ? 0 : 1;
}

std::optional<std::int32_t> VelocityAfterScroll(std::int32_t velocity, int code, int thumb) {
  std::int32_t v = velocity;
  switch (code) {
    case kLineUp:
      v = velocity + 1;
      break;
    case kLineDown:
      v = velocity - 1;
      break;
    case kPageUp:
      v = velocity + 8;
      break;
    case kPageDown:
      v = velocity - 8;
      break;
    case kThumbPosition:
    case kThumbTrack:
      v = 128 - thumb;
      break;
    default:
      return std::nullopt;
  }
  return std::clamp(v, 1, 127);
}

std::optional<std::int32_t> PitchBendAfterScroll(int code, int thumb) {
  if (code == kThumbTrack) return std::clamp(16383 - thumb, 0, 16383);
  if (code == kThumbPosition) return kPitchBendReleased;  // springs back
  return std::nullopt;
}

std::optional<std::int32_t> ScrollPitchBend(Instrument& inst, int code, int thumb) {
  const std::optional<std::int32_t> bend = PitchBendAfterScroll(code, thumb);
  // The bass channel is never bent.
  if (bend && inst.settings.device_open != 0) {
    SendPitchBend(inst, inst.settings.channel, *bend);
  }
  return bend;
}

}  // namespace tonvale
