// Which key plays which note: the 54-entry key table indexed by the set-1
// scan code, the tonic offsets of the 24 key modes and the note arithmetic.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tonvale {

struct KeyEntry {
  std::int32_t octave;    // 3..6; -1: the scan code plays nothing
  std::int32_t semitone;  // 0..11 above degree "1"
  std::int32_t row;       // 0..3 on the on-screen keyboard
  std::int32_t column;    // 0..23 in half-key units
  const char* label;      // numbered-notation degree, nullptr when silent
};

inline constexpr int kKeyCount = 54;
extern const std::array<KeyEntry, kKeyCount> kKeyTable;

// The table entry for a scan code, or nullptr when it plays nothing.
const KeyEntry* FindKey(std::uint32_t scan_code);

// Scan code held in bits 16..23 of a key parameter.
constexpr std::uint32_t ScanCodeOf(std::uint32_t key_data) {
  return (key_data >> 16) & 0xFF;
}

// Semitones added by key mode `mode`, or nothing when `mode` is no key mode
// (anything but the 24 mode commands, 1306..1311 and 1322..1327 included).
std::optional<int> TonicOffset(std::int32_t mode);

// All 24 key modes, in menu order.
extern const std::array<std::int32_t, 24> kKeyModes;

constexpr int NoteNumber(int octave, int semitone, int offset) {
  return 12 * octave + semitone + offset;
}

// The text after the instrument name in the key label ("1=C", "6=#a", ...),
// or nullptr for a value that is no key mode.
const char* KeyModeTonicText(std::int32_t mode);

}  // namespace tonvale
