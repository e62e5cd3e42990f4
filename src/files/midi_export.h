// A recording as a Standard MIDI File: format 0 with the melody track, or
// format 1 with a second track for the automatic bass; 192 ticks per quarter
// note at 759494 microseconds per quarter note.
//
// Melody track: tempo, program change on channel 1, then one note event per
// performance event (90 for a press, 80 for anything else, the note, 7F),
// then a note-on and a note-off of note 1 at velocity 0, 399 ticks after the
// last event, and the end of the track. Space's events are the sustain
// pedal: Control Change 64 at 127 for a press, 0 for anything else, on the
// track's channel, in both tracks. Bass track: tempo, program change on
// channel 16, the same events on channel 16 an octave lower, end of track.
// Every event has its own status byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "files/file_error.h"
#include "record/performance_event.h"

namespace tonvale {

inline constexpr std::uint32_t kMidiDivision = 192;
inline constexpr std::uint32_t kMidiTempo = 759494;      // microseconds per quarter note
inline constexpr std::uint64_t kMaxVarLen = 0x0FFFFFFF;  // four bytes of seven bits

// floor(delta_ms * 192000 / 759494), exact.
constexpr std::uint64_t TicksOfDelay(std::uint32_t delta_ms) {
  return std::uint64_t{delta_ms} * (kMidiDivision * 1000) / kMidiTempo;
}

// Seven bits a byte, most significant first, bit 7 set on all but the last;
// a value beyond four bytes is written as the largest four-byte value.
void AppendVarLen(std::vector<std::uint8_t>& out, std::uint64_t value);

// The file's bytes; nothing when `key_mode` is no key mode or `program` lies
// outside 0..127. An event whose key plays no note (and is not the pedal) is
// left out and its ticks go to the next event written.
std::optional<std::vector<std::uint8_t>> BuildMidiBytes(std::span<const PerformanceEvent> events,
                                                        std::int32_t key_mode, std::int32_t program,
                                                        bool auto_bass);

// Written safely, like a recording: a failure leaves no partial file and
// keeps an existing one.
std::optional<FileError> ExportMidiFile(const std::filesystem::path& path,
                                        std::span<const PerformanceEvent> events,
                                        std::int32_t key_mode, std::int32_t program,
                                        bool auto_bass);

}  // namespace tonvale
