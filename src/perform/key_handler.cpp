#include "perform/key_handler.h"

#include "perform/key_table.h"
#include "perform/note_sounding.h"

namespace tonvale {

namespace {

std::int32_t& CounterOf(KeyboardState& keys, std::int32_t shift) {
  if (shift > 0) return keys.held_raised;
  if (shift < 0) return keys.held_lowered;
  return keys.held_plain;
}

bool GroupHeld(const KeyboardState& keys) {
  return keys.held_plain != 0 || keys.held_raised != 0 || keys.held_lowered != 0;
}

void Record(Instrument& inst, std::int32_t message, std::uint32_t key_data, std::int32_t shift) {
  if (inst.hooks != nullptr) inst.hooks->RecordKeyEvent(message, key_data, shift);
}

void Draw(Instrument& inst, std::uint32_t index, bool pressed) {
  if (inst.hooks != nullptr) {
    inst.hooks->DrawKeyMark(static_cast<int>(index), pressed, inst.keys.shift_state);
  }
}

void KeyPress(Instrument& inst, std::uint32_t index, const KeyEntry& entry,
              std::uint32_t key_data) {
  KeyboardState& keys = inst.keys;
  const bool repeat = (key_data & kKeyWasDown) != 0;
  if (GroupHeld(keys)) {
    // The group's shift holds for every key joining it.
    if (repeat) return;
    ++CounterOf(keys, keys.shift_state);
  } else {
    // The first key of a group chooses the shift; Shift wins over Ctrl.
    const bool shift_down = inst.hooks != nullptr && inst.hooks->ShiftDown();
    const bool ctrl_down = !shift_down && inst.hooks != nullptr && inst.hooks->CtrlDown();
    keys.shift_state = shift_down ? 1 : (ctrl_down ? -1 : 0);
    CounterOf(keys, keys.shift_state) = 1;
    // A key already down when we got the focus: counted, but not played.
    if (repeat) return;
  }
  Record(inst, kKeyDown, key_data, keys.shift_state);
  SoundKeyPress(inst, entry.octave + keys.shift_state, entry.semitone);
  Draw(inst, index, true);
}

void KeyRelease(Instrument& inst, std::uint32_t index, const KeyEntry& entry,
                std::uint32_t key_data) {
  KeyboardState& keys = inst.keys;
  const std::int32_t shift = keys.shift_state;
  Record(inst, kKeyUp, key_data, shift);
  // A key held through Esc or stop is released against a zero counter; the
  // counter stays at zero so that later groups are still counted right.
  std::int32_t& counter = CounterOf(keys, shift);
  if (counter > 0) --counter;
  if (shift != 0 && counter == 0) keys.shift_state = 0;
  SoundKeyRelease(inst, entry.octave + shift, entry.semitone);
  Draw(inst, index, false);
}

}  // namespace

void HandleKeyEvent(Instrument& inst, std::int32_t message, std::uint32_t key_data) {
  const std::uint32_t index = ScanCodeOf(key_data);
  const KeyEntry* entry = FindKey(index);
  if (entry == nullptr) return;
  if (message == kKeyDown) {
    KeyPress(inst, index, *entry, key_data);
  } else if (message == kKeyUp) {
    KeyRelease(inst, index, *entry, key_data);
  }
}

void ResetHeldKeys(KeyboardState& keys) {
  keys.held_plain = 0;
  keys.held_raised = 0;
  keys.held_lowered = 0;
}

}  // namespace tonvale
