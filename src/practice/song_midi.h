// A song as a Standard MIDI File: format 0 (format 1 with a bass track),
// 192 ticks a crotchet, one tempo event from the song's tempo, a program
// change and the notes on channel 1 at velocity 127, each note-off where
// the note's written length ends (ties and held beats included).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "files/file_error.h"
#include "practice/song.h"

namespace tonvale {

// Microseconds per crotchet of the tempo event: 60,000,000 / tempo, rounded;
// a recording's (tempo 0) 192,000, one tick a millisecond.
std::uint32_t SongTempoMicroseconds(const Song& song);

// The file's bytes; nothing when `key_mode` is no key mode or `program` lies
// outside 0..127. Notes sound in `key_mode` (a song's own is song.key_mode).
// With `auto_bass` a second track repeats the notes an octave lower on
// channel 16, as a recording's export does.
std::optional<std::vector<std::uint8_t>> BuildSongMidiBytes(const Song& song, std::int32_t key_mode,
                                                            std::int32_t program, bool auto_bass);

// Written safely: a failure leaves no partial file and keeps an existing one.
std::optional<FileError> ExportSongMidiFile(const std::filesystem::path& path, const Song& song,
                                            std::int32_t key_mode, std::int32_t program,
                                            bool auto_bass);

}  // namespace tonvale
