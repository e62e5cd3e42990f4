// Any bytes given to the song reader: it never crashes, a refusal names a
// line and word when it blames one, and what it accepts holds together in
// every step after it (band, events, MIDI file, a waiting practice).
#include <cstdlib>
#include <variant>

#include "perform/key_table.h"
#include "practice/band_layout.h"
#include "practice/keyboard_score.h"
#include "practice/note_key.h"
#include "practice/practice_session.h"
#include "practice/song_events.h"
#include "practice/song_midi.h"
#include "practice/song_reader.h"

using namespace tonvale;

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const SongReadResult read = ReadSongText({reinterpret_cast<const char*>(data), size});
  if (const auto* error = std::get_if<SongError>(&read)) {
    Check(error->line >= 0);
    Check(error->line == 0 || !error->word.empty());
    Check(!SongErrorMessage(*error, "f").empty());
    return 0;
  }
  const Song& song = std::get<Song>(read);
  Check(TonicOffset(song.key_mode).has_value());
  Check(song.PlayedCount() > 0);
  std::int64_t at = 0;
  for (const SongNote& n : song.notes) {
    Check(n.start == at && n.length > 0 && n.HeadLength() > 0);
    at += n.length;
    if (n.Played()) {
      Check(PitchOfKey(n.key.scan_code, n.key.shift) == n.pitch);
      Check(n.sound_length >= n.length && n.start + n.sound_length <= song.length);
    }
  }
  Check(at == song.length);
  for (std::size_t i = 0; i < song.bar_ends.size(); ++i) {
    Check(song.bar_ends[i] > (i > 0 ? song.bar_ends[i - 1] : 0));
    Check(song.bar_ends[i] <= song.length);
  }
  Check(!KeyboardScore(song).empty());

  for (const std::int32_t width : {1, 400}) {
    const BandLayout layout = LayoutBand(song, {30, 10, 4, 6, 2, 3}, width);
    std::size_t notes = 0;
    for (const BandItem& item : layout.items) notes += item.kind == BandItemKind::kNote;
    Check(notes == song.notes.size());
    Check(layout.lines.back().end_item == layout.items.size());
  }

  const std::vector<PerformanceEvent> events = SongEvents(song, 25);
  Check(events.size() == 2 * song.PlayedCount());
  const std::vector<std::uint8_t> midi = *BuildSongMidiBytes(song, song.key_mode, 0, false);
  const std::size_t track = midi[18] << 24 | midi[19] << 16 | midi[20] << 8 | midi[21];
  Check(22 + track == midi.size() && midi[midi.size() - 2] == 0x2F);

  PracticeSession session(song);
  session.Start(PracticeMode::kWaiting, 100, 0);
  for (const SongNote& n : song.notes) {
    if (n.Played()) session.KeyDown(n.key.scan_code, n.key.shift, 0);
  }
  Check(session.Finished() && session.Result()->right == song.PlayedCount());
  return 0;
}
