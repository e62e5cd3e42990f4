#include "practice/song_midi.h"

#include <algorithm>
#include <new>

#include "files/midi_export.h"
#include "files/safe_write.h"
#include "perform/key_table.h"
#include "perform/settings.h"

namespace tonvale {

namespace {

constexpr std::uint8_t kVelocity = 0x7F;

struct NoteEvent {
  std::int64_t tick;
  bool on;
  std::uint8_t note;
};

void PutU32BE(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutTrack(std::vector<std::uint8_t>& out, const std::vector<NoteEvent>& events,
              std::uint32_t tempo_us, std::uint8_t program, std::uint8_t channel, int transpose,
              std::int64_t end_tick) {
  std::vector<std::uint8_t> track = {0x00,
                                     0xFF,
                                     0x51,
                                     0x03,
                                     static_cast<std::uint8_t>(tempo_us >> 16),
                                     static_cast<std::uint8_t>(tempo_us >> 8),
                                     static_cast<std::uint8_t>(tempo_us),
                                     0x00,
                                     static_cast<std::uint8_t>(0xC0 | channel),
                                     program};
  std::int64_t last = 0;
  for (const NoteEvent& e : events) {
    AppendVarLen(track, static_cast<std::uint64_t>(e.tick - last));
    last = e.tick;
    track.push_back(static_cast<std::uint8_t>((e.on ? 0x90 : 0x80) | channel));
    track.push_back(static_cast<std::uint8_t>(e.note + transpose));
    track.push_back(kVelocity);
  }
  AppendVarLen(track, static_cast<std::uint64_t>(std::max<std::int64_t>(end_tick - last, 0)));
  track.insert(track.end(), {0xFF, 0x2F, 0x00});
  out.insert(out.end(), {'M', 'T', 'r', 'k'});
  PutU32BE(out, static_cast<std::uint32_t>(track.size()));
  out.insert(out.end(), track.begin(), track.end());
}

}  // namespace

std::uint32_t SongTempoMicroseconds(const Song& song) {
  if (song.tempo <= 0) return 1000 * kTicksPerCrotchet;
  return static_cast<std::uint32_t>((60000000 + song.tempo / 2) / song.tempo);
}

std::optional<std::vector<std::uint8_t>> BuildSongMidiBytes(const Song& song, std::int32_t key_mode,
                                                            std::int32_t program, bool auto_bass) {
  const std::optional<int> offset = TonicOffset(key_mode);
  if (!offset || program < 0 || program > 127) return std::nullopt;

  std::vector<NoteEvent> events;
  for (const SongNote& note : song.notes) {
    if (!note.Played()) continue;
    const auto number = static_cast<std::uint8_t>(60 + *offset + note.pitch);
    events.push_back({note.start, true, number});
    events.push_back({note.start + note.sound_length, false, number});
  }
  // A note ends before the next begins at the same tick.
  std::stable_sort(events.begin(), events.end(), [](const NoteEvent& a, const NoteEvent& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    return !a.on && b.on;
  });

  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0};
  out.insert(out.end(), {static_cast<std::uint8_t>(auto_bass ? 1 : 0), 0,
                         static_cast<std::uint8_t>(auto_bass ? 2 : 1), 0,
                         static_cast<std::uint8_t>(kMidiDivision)});
  const std::uint32_t tempo = SongTempoMicroseconds(song);
  const auto prog = static_cast<std::uint8_t>(program);
  PutTrack(out, events, tempo, prog, 0, 0, song.length);
  if (auto_bass) {
    PutTrack(out, events, tempo, prog, static_cast<std::uint8_t>(kBassChannel), -12, song.length);
  }
  return out;
}

std::optional<FileError> ExportSongMidiFile(const std::filesystem::path& path, const Song& song,
                                            std::int32_t key_mode, std::int32_t program,
                                            bool auto_bass) {
  std::optional<std::vector<std::uint8_t>> bytes;
  try {
    bytes = BuildSongMidiBytes(song, key_mode, program, auto_bass);
  } catch (const std::bad_alloc&) {
    return FileError::kCannotWrite;
  }
  if (!bytes) return FileError::kCannotWrite;
  return WriteFileSafely(path, *bytes);
}

}  // namespace tonvale
