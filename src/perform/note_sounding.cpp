#include "perform/note_sounding.h"

#include "perform/key_table.h"
#include "perform/midi_messages.h"
#include "perform/sustain_pedal.h"

namespace tonvale {

namespace {

void SendNote(Instrument& inst, std::uint32_t status, std::int32_t chan, int octave, int semitone,
              std::int32_t vel) {
  const std::optional<int> offset = TonicOffset(inst.settings.key_mode);
  if (!offset) return;
  const int note = NoteNumber(octave, semitone, *offset);
  SendShortMsg(inst, status, static_cast<std::uint32_t>(chan), static_cast<std::uint32_t>(note),
               static_cast<std::uint32_t>(vel));
}

void Draw(Instrument& inst, int index, bool pressed, int shift) {
  if (inst.hooks != nullptr) inst.hooks->DrawKeyMark(index, pressed, shift);
}

}  // namespace

void NoteOn(Instrument& inst, std::int32_t chan, int octave, int semitone, std::int32_t vel) {
  SendNote(inst, kNoteOn, chan, octave, semitone, vel);
}

void NoteOff(Instrument& inst, std::int32_t chan, int octave, int semitone) {
  SendNote(inst, kNoteOff, chan, octave, semitone, 0);
}

void SoundKeyPress(Instrument& inst, int octave, int semitone) {
  NoteOn(inst, inst.settings.channel, octave, semitone, inst.settings.velocity);
  if (inst.settings.auto_bass != 0) {
    NoteOn(inst, kBassChannel, octave - 1, semitone, inst.settings.velocity);
  }
}

void SoundKeyRelease(Instrument& inst, int octave, int semitone) {
  NoteOff(inst, inst.settings.channel, octave, semitone);
  if (inst.settings.auto_bass != 0) NoteOff(inst, kBassChannel, octave - 1, semitone);
}

void PlayRecordedEvent(Instrument& inst, std::int32_t message, std::uint32_t key_data,
                       std::int32_t shift) {
  if (IsPedalKey(key_data)) {
    PlayRecordedPedal(inst, message);
    return;
  }
  const std::uint32_t index = ScanCodeOf(key_data);
  const KeyEntry* entry = FindKey(index);
  if (entry == nullptr) return;
  const int octave = entry->octave + shift;
  if (message == kKeyUp) {
    NoteOff(inst, inst.settings.channel, octave, entry->semitone);
    Draw(inst, static_cast<int>(index), false, shift);
    if (inst.settings.auto_bass != 0) NoteOff(inst, kBassChannel, octave - 1, entry->semitone);
  } else {
    SoundKeyPress(inst, octave, entry->semitone);
    Draw(inst, static_cast<int>(index), true, shift);
  }
}

}  // namespace tonvale
