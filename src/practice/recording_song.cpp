#include "practice/recording_song.h"

#include <algorithm>
#include <string_view>

#include "perform/instrument.h"
#include "perform/key_table.h"
#include "practice/note_key.h"

namespace tonvale {

Song SongFromRecording(const RecordingFile& file) {
  Song song;
  song.key_mode = file.key_mode;
  const char* tonic = KeyModeTonicText(file.key_mode);
  song.key_text = tonic != nullptr ? tonic : "1=C";
  song.tempo = 0;
  song.has_bars = false;

  // Absolute times; ticks are milliseconds.
  std::int64_t now = 0;
  // The note each key's press began, until its release; by scan code.
  std::int64_t open[kKeyCount];
  for (std::int64_t& o : open) o = -1;
  for (const PerformanceEvent& event : file.events) {
    now += event.delta_ms;
    const std::uint32_t scan = ScanCodeOf(event.key_data);
    const KeyEntry* entry = FindKey(scan);
    if (entry == nullptr) continue;
    if (event.message != kKeyDown) {
      if (open[scan] >= 0) song.notes[open[scan]].length = now - song.notes[open[scan]].start;
      open[scan] = -1;
      continue;
    }
    if (open[scan] >= 0) song.notes[open[scan]].length = now - song.notes[open[scan]].start;
    SongNote note;
    // "b6" is degree 6 flat; the octave dots count from the middle octave.
    const std::string_view label = entry->label;
    note.accidental = label.size() == 2 ? Accidental::kFlat : Accidental::kNone;
    note.degree = static_cast<std::int8_t>(label.back() - '0');
    note.octave = static_cast<std::int8_t>(entry->octave + event.octave_shift - 5);
    note.start = now;
    note.key = {static_cast<std::uint8_t>(scan), static_cast<std::int8_t>(event.octave_shift)};
    note.pitch = *PitchOfKey(scan, event.octave_shift);
    note.word = SongKeyText(note.key);
    open[scan] = static_cast<std::int64_t>(song.notes.size());
    song.notes.push_back(std::move(note));
  }
  for (const std::int64_t o : open) {
    if (o >= 0) song.notes[o].length = now - song.notes[o].start;
  }
  for (SongNote& note : song.notes) {
    note.sound_length = note.length;
    song.length = std::max(song.length, note.start + note.length);
  }
  return song;
}

}  // namespace tonvale
