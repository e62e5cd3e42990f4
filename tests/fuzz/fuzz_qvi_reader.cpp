// Any bytes given to the recording file reader: it must never crash, and
// what it accepts must save again unchanged, export to a MIDI file whose
// tracks add up, have a render plan of the right length, and read as a song
// whose notes are played by the very keys pressed, in time order.
#include <algorithm>
#include <cstdlib>
#include <variant>

#include "files/midi_export.h"
#include "files/qvi_file.h"
#include "perform/key_table.h"
#include "practice/band_layout.h"
#include "practice/note_key.h"
#include "practice/recording_song.h"
#include "practice/song_events.h"
#include "tool/render_plan.h"

using namespace tonvale;

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QviReadResult read = ParseQviBytes({data, size});
  const auto* file = std::get_if<RecordingFile>(&read);
  if (file == nullptr) return 0;
  const bool bass = file->auto_bass == 1;
  const QviReadResult again =
      ParseQviBytes(*BuildQviBytes(file->events, file->key_mode, bass, {2024, 1, 31}));
  const auto* reread = std::get_if<RecordingFile>(&again);
  Check(reread && reread->events == file->events && reread->key_mode == file->key_mode &&
        reread->auto_bass == (bass ? 1u : 0u));
  const std::vector<std::uint8_t> midi = *BuildMidiBytes(file->events, file->key_mode, 127, true);
  std::size_t at = 14;  // the header, then two tracks, each with its length
  for (int track = 0; track < 2 && at + 8 <= midi.size(); ++track)
    at += 8 + (midi[at + 4] << 24 | midi[at + 5] << 16 | midi[at + 6] << 8 | midi[at + 7]);
  Check(at == midi.size() && midi[at - 3] == 0xFF && midi[at - 2] == 0x2F && midi[at - 1] == 0);

  // The render plan agrees with exact 128-bit arithmetic.
  unsigned __int128 ms = 0;
  for (const PerformanceEvent& e : file->events) ms += std::max(e.delta_ms, 5u);
  Check(RenderedFrames(file->events) ==
        std::min<unsigned __int128>(ms * 44100 / 1000 + 70560, ~std::uint64_t{0}));

  const Song song = SongFromRecording(*file);
  std::size_t presses = 0;
  for (const PerformanceEvent& e : file->events) {
    presses += e.message == 256 && PitchOfKey(ScanCodeOf(e.key_data), 0).has_value();
  }
  Check(song.notes.size() == presses);
  for (std::size_t i = 0; i < song.notes.size(); ++i) {
    const SongNote& n = song.notes[i];
    Check(i == 0 || n.start >= song.notes[i - 1].start);
    Check(n.length >= 0 && n.start + n.length <= song.length);
    Check(PitchOfKey(n.key.scan_code, n.key.shift) == n.pitch);
  }
  Check(SongEvents(song, 25).size() == 2 * presses);
  Check(LayoutBand(song, {30, 10, 4, 6, 2, 3}, 100).lines.back().end_item > 0);
  return 0;
}
