#include "perform/midi_messages.h"

#include "perform/sustain_pedal.h"

namespace tonvale {

void SendShortMsg(Instrument& inst, std::uint32_t status, std::uint32_t chan, std::uint32_t data1,
                  std::uint32_t data2) {
  if (inst.settings.device_open == 0 || inst.out == nullptr) return;
  inst.out->Send(PackShortMsg(status, chan, data1, data2));
}

void SendProgramChange(Instrument& inst, std::int32_t chan, std::int32_t prog) {
  SendShortMsg(inst, kProgramChange, static_cast<std::uint32_t>(chan),
               static_cast<std::uint32_t>(prog), 0);
}

void SendControlChange(Instrument& inst, std::int32_t chan, std::uint32_t controller,
                       std::uint32_t value) {
  SendShortMsg(inst, kControlChange, static_cast<std::uint32_t>(chan), controller, value);
}

void SendPitchBend(Instrument& inst, std::int32_t chan, std::int32_t value) {
  const auto v = static_cast<std::uint32_t>(value);
  SendShortMsg(inst, kPitchBend, static_cast<std::uint32_t>(chan), v & 0x7F, v >> 7);
}

void SilenceAll(Instrument& inst) {
  for (std::uint32_t chan = 0; chan < 16; ++chan) {
    SendShortMsg(inst, kControlChange, chan, kAllNotesOff, 0);
  }
}

void SendProgramToBoth(Instrument& inst) {
  SendProgramChange(inst, inst.settings.channel, inst.settings.program);
  SendProgramChange(inst, kBassChannel, inst.settings.program);
}

namespace {

OpenResult Open(Instrument& inst, bool both_channels) {
  if (inst.settings.device_open != 0) return OpenResult::kAlreadyOpen;
  if (inst.out == nullptr || !inst.out->Open(inst.settings.midi_device)) {
    return OpenResult::kFailed;
  }
  inst.settings.device_open = 1;
  if (both_channels) {
    SendProgramToBoth(inst);
  } else {
    SendProgramChange(inst, inst.settings.channel, inst.settings.program);
  }
  return OpenResult::kOpened;
}

}  // namespace

OpenResult OpenOutput(Instrument& inst) {
  return Open(inst, true);
}

OpenResult OpenOutputAtStart(Instrument& inst) {
  return Open(inst, false);
}

bool CloseOutput(Instrument& inst) {
  if (inst.settings.device_open == 0) return false;
  // All Notes Off leaves the notes a held pedal sustains sounding.
  ReleasePedal(inst);
  SilenceAll(inst);
  inst.out->Close();
  inst.settings.device_open = 0;
  return true;
}

OpenResult ChangeDevice(Instrument& inst, std::int32_t device) {
  inst.settings.midi_device = device;
  if (inst.settings.device_open == 0) return OpenResult::kAlreadyOpen;
  CloseOutput(inst);
  return OpenOutput(inst);
}

}  // namespace tonvale
