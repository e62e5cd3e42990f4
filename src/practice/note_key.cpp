#include "practice/note_key.h"

#include <array>

#include "perform/key_table.h"

namespace tonvale {

namespace {

// The order in which rows are preferred when two keys sound the same note.
constexpr std::array<int, 4> kRowPreference = {2, 1, 3, 0};

// Pitch of a key without shift: its note in C major less the A key's 60.
constexpr int PlainPitch(const KeyEntry& e) {
  return 12 * e.octave + e.semitone - 60;
}

// The plain key of every pitch of the reach, chosen by row preference.
const std::array<std::uint8_t, kHighestPlainPitch - kLowestPlainPitch + 1> kPlainKeys = [] {
  std::array<std::uint8_t, kHighestPlainPitch - kLowestPlainPitch + 1> keys{};
  for (int row : kRowPreference) {
    for (std::uint32_t scan = 0; scan < kKeyTable.size(); ++scan) {
      const KeyEntry& e = kKeyTable[scan];
      if (e.octave < 0 || e.row != row) continue;
      std::uint8_t& slot = keys[PlainPitch(e) - kLowestPlainPitch];
      if (slot == 0) slot = static_cast<std::uint8_t>(scan);
    }
  }
  return keys;
}();

// What each key bears on a US keyboard, by scan code.
constexpr std::array<const char*, kKeyCount> kKeyCaps = {
    nullptr, nullptr, "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "=",
    nullptr, nullptr, "q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "[", "]",
    nullptr, nullptr, "a", "s", "d", "f", "g", "h", "j", "k", "l", ";", "'", nullptr,
    nullptr, nullptr, "z", "x", "c", "v", "b", "n", "m", ",", ".", "/"};

}  // namespace

std::optional<SongKey> KeyForPitch(int pitch) {
  int shift = 0;
  if (pitch > kHighestPlainPitch) shift = 1;
  if (pitch < kLowestPlainPitch) shift = -1;
  const int plain = pitch - 12 * shift;
  if (plain < kLowestPlainPitch || plain > kHighestPlainPitch) return std::nullopt;
  return SongKey{kPlainKeys[plain - kLowestPlainPitch], static_cast<std::int8_t>(shift)};
}

std::optional<int> PitchOfKey(std::uint32_t scan_code, int shift) {
  const KeyEntry* entry = FindKey(scan_code);
  if (entry == nullptr) return std::nullopt;
  return PlainPitch(*entry) + 12 * shift;
}

std::int32_t MajorKeyMode(int pitch_class) {
  // C, C#, D, Eb, E, F, F#, G, Ab, A, Bb, B.
  static constexpr std::int32_t kModes[12] = {1297, 1305, 1298, 1313, 1299, 1300,
                                              1304, 1301, 1314, 1302, 1312, 1303};
  return kModes[((pitch_class % 12) + 12) % 12];
}

std::int32_t MinorKeyMode(int pitch_class) {
  // c, c#, d, d#, e, f, f#, g, g#, a, a#, b.
  static constexpr std::int32_t kModes[12] = {1315, 1329, 1316, 1331, 1317, 1318,
                                              1328, 1319, 1330, 1320, 1332, 1321};
  return kModes[((pitch_class % 12) + 12) % 12];
}

const char* KeyCapText(std::uint32_t scan_code) {
  if (FindKey(scan_code) == nullptr) return nullptr;
  return kKeyCaps[scan_code];
}

std::string SongKeyText(SongKey key) {
  const char* cap = KeyCapText(key.scan_code);
  if (cap == nullptr) return {};
  const char* prefix = key.shift > 0 ? "Shift+" : key.shift < 0 ? "Ctrl+" : "";
  return std::string(prefix) + cap;
}

}  // namespace tonvale
