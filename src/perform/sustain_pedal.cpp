#include "perform/sustain_pedal.h"

#include "perform/key_handler.h"
#include "perform/midi_messages.h"

namespace tonvale {

namespace {

void Show(Instrument& inst) {
  if (inst.hooks != nullptr) inst.hooks->ShowPedal(PedalHeld(inst));
}

void LetGo(Instrument& inst, PedalHold& hold) {
  if (!hold.down) return;
  hold.down = false;
  SendControlChange(inst, hold.channel, kSustainController, kPedalUp);
  if (hold.bass) SendControlChange(inst, kBassChannel, kSustainController, kPedalUp);
}

void PressDown(Instrument& inst, PedalHold& hold) {
  // A second press without a release (a loop pass over a recording that
  // ended with the pedal down) lifts it first, so that it never stays down
  // on a channel it no longer goes to.
  LetGo(inst, hold);
  hold = PedalHold{true, inst.settings.channel, inst.settings.auto_bass != 0};
  SendControlChange(inst, hold.channel, kSustainController, kPedalDown);
  if (hold.bass) SendControlChange(inst, kBassChannel, kSustainController, kPedalDown);
}

void Record(Instrument& inst, std::int32_t message, std::uint32_t key_data) {
  // The pedal takes no octave shift.
  if (inst.hooks != nullptr) inst.hooks->RecordKeyEvent(message, key_data, 0);
}

}  // namespace

void HandlePedalKey(Instrument& inst, std::int32_t message, std::uint32_t key_data) {
  PedalState& pedal = inst.pedal;
  const bool open = inst.settings.device_open != 0;
  if (message == kKeyDown) {
    if (!open || pedal.key_down) return;
    pedal.key_down = true;
    pedal.press = key_data;
    // Down already when the window got the keyboard: its press was not ours.
    if ((key_data & kKeyWasDown) != 0) return;
    Record(inst, kKeyDown, key_data);
    PressDown(inst, pedal.live);
    Show(inst);
  } else if (message == kKeyUp) {
    if (!pedal.key_down) return;
    pedal.key_down = false;
    if (!open) return;
    Record(inst, kKeyUp, key_data);
    if (!pedal.live.down) return;
    LetGo(inst, pedal.live);
    Show(inst);
  }
}

void PlayRecordedPedal(Instrument& inst, std::int32_t message) {
  if (message == kKeyUp) {
    if (!inst.pedal.played.down) return;
    LetGo(inst, inst.pedal.played);
  } else {
    PressDown(inst, inst.pedal.played);
  }
  Show(inst);
}

void ReleasePedal(Instrument& inst) {
  if (!PedalHeld(inst)) return;
  LetGo(inst, inst.pedal.live);
  LetGo(inst, inst.pedal.played);
  Show(inst);
}

bool PedalHeld(const Instrument& inst) {
  return inst.pedal.live.down || inst.pedal.played.down;
}

}  // namespace tonvale
