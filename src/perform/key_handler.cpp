#include "perform/key_handler.h"

#include <utility>

#include "perform/key_table.h"
#include "perform/note_sounding.h"
#include "perform/sustain_pedal.h"

namespace tonvale {

namespace {

static_assert(kHeldKeySlots == 2 * kKeyCount + 1);
constexpr std::size_t kMouseSlot = kHeldKeySlots - 1;

std::size_t SlotOf(std::uint32_t index, std::uint32_t key_data, KeySource source) {
  if (source == KeySource::kMouse) return kMouseSlot;
  return index + ((key_data & kExtendedKeyBit) != 0 ? kKeyCount : 0);
}

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

void Draw(Instrument& inst, std::uint32_t index, bool pressed, std::int32_t shift) {
  if (inst.hooks != nullptr) inst.hooks->DrawKeyMark(static_cast<int>(index), pressed, shift);
}

void KeyPress(Instrument& inst, HeldKey& key, std::uint32_t index, const KeyEntry& entry,
              std::uint32_t key_data) {
  KeyboardState& keys = inst.keys;
  // Nothing plays while the output is closed. A key that never came up is
  // going down again: the keyboard's auto-repeat, marked as such or not.
  if (inst.settings.device_open == 0 || key.down) return;
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
  }
  key = HeldKey{true, true, keys.shift_state, key_data};
  // A key already down when we got the focus: counted, but not played.
  if (repeat) return;
  Record(inst, kKeyDown, key_data, keys.shift_state);
  SoundKeyPress(inst, entry.octave + keys.shift_state, entry.semitone);
  Draw(inst, index, true, keys.shift_state);
}

void KeyRelease(Instrument& inst, HeldKey& key, std::uint32_t index, const KeyEntry& entry,
                std::uint32_t key_data) {
  // Only keys that went down here come up here: a stray release must not
  // end another key's group.
  if (!key.down) return;
  const HeldKey held = std::exchange(key, HeldKey{});
  const bool open = inst.settings.device_open != 0;
  if (open) Record(inst, kKeyUp, key_data, held.shift);
  // A key held through Esc or stop no longer counts in any group.
  if (held.counted) {
    std::int32_t& counter = CounterOf(inst.keys, held.shift);
    if (counter > 0) --counter;
    if (counter == 0) inst.keys.shift_state = 0;
  }
  if (!open) return;
  SoundKeyRelease(inst, entry.octave + held.shift, entry.semitone);
  Draw(inst, index, false, held.shift);
}

}  // namespace

void HandleKeyEvent(Instrument& inst, std::int32_t message, std::uint32_t key_data,
                    KeySource source) {
  // Space plays no note, it is the pedal; the mouse holds only pictured keys.
  if (IsPedalKey(key_data)) {
    if (source == KeySource::kKeyboard) HandlePedalKey(inst, message, key_data);
    return;
  }
  const std::uint32_t index = ScanCodeOf(key_data);
  const KeyEntry* entry = FindKey(index);
  if (entry == nullptr) return;
  HeldKey& key = inst.keys.held_keys[SlotOf(index, key_data, source)];
  if (message == kKeyDown) {
    KeyPress(inst, key, index, *entry, key_data);
  } else if (message == kKeyUp) {
    KeyRelease(inst, key, index, *entry, key_data);
  }
}

void ResetHeldKeys(KeyboardState& keys) {
  keys.held_plain = 0;
  keys.held_raised = 0;
  keys.held_lowered = 0;
  for (HeldKey& key : keys.held_keys) key.counted = false;
}

void ReleaseKeyboardKeys(Instrument& inst) {
  // The pedal first, so that each note-off after it ends its note at once.
  if (inst.pedal.key_down) HandleKeyEvent(inst, kKeyUp, ReleaseParameterOf(inst.pedal.press));
  for (std::size_t slot = 0; slot < kMouseSlot; ++slot) {
    const HeldKey& key = inst.keys.held_keys[slot];
    if (key.down) HandleKeyEvent(inst, kKeyUp, ReleaseParameterOf(key.press));
  }
}

}  // namespace tonvale
