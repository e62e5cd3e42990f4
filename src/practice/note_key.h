// The key that plays a note, and the key mode a song's key sets.
//
// Pitches count semitones from degree 1 of the middle octave, the note of
// the A key. The 45 keys reach from -18 (key 1) to +21 (right bracket), every
// semitone between; where two keys sound the same note the middle letter
// row comes first, then the upper letter row, the lower letter row and the
// digit row. Above the reach a note is played with Shift on the key an
// octave lower, below it with Ctrl on the key an octave higher.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "practice/song.h"

namespace tonvale {

inline constexpr int kLowestPlainPitch = -18;
inline constexpr int kHighestPlainPitch = 21;
inline constexpr int kLowestPitch = kLowestPlainPitch - 12;    // with Ctrl
inline constexpr int kHighestPitch = kHighestPlainPitch + 12;  // with Shift

// The key for `pitch`, or nothing when no key reaches it.
std::optional<SongKey> KeyForPitch(int pitch);

// The pitch a playing key sounds with `shift`, or nothing for a scan code
// that plays nothing.
std::optional<int> PitchOfKey(std::uint32_t scan_code, int shift);

// The key mode of a major key whose degree 1 is `pitch_class` (0 C .. 11 B),
// and of a minor key whose tonic (degree 6) is `pitch_class`.
std::int32_t MajorKeyMode(int pitch_class);
std::int32_t MinorKeyMode(int pitch_class);

// The character a key bears on a US keyboard ("a", ";", "'", "[", ...), or
// nullptr for a scan code that plays nothing.
const char* KeyCapText(std::uint32_t scan_code);

// "Shift+a", "Ctrl+e", "k".
std::string SongKeyText(SongKey key);

}  // namespace tonvale
