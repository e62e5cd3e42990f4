// The recording file (".qvi"): a RIFF form "QV  ". All numbers are unsigned
// 32-bit little-endian; n is the number of events.
//
//   offset  size    content
//        0     4    "RIFF"
//        4     4    96 + 16 n
//        8     4    "QV  "
//       12     4    "LIST"
//       16     4    44
//       20     4    "INFO"
//       24     4    "ISFT", 28: 11, 32: "QV by Dalo" and its zero byte, 43: pad 0
//       44     4    "ISCD", 48: 11, 52: the local date "yyyy-mm-dd" and its zero
//                   byte, 63: pad 0
//       64     4    "fmt ", 68: 24
//       72     4    n (at least 1)
//       76     4    key mode (one of the 24 key-mode commands)
//       80     4    automatic bass: 1 on, 0 off
//       84    12    three zero words
//       96     4    "data", 100: 16 n
//      104  16 n    the events: delta_ms, message, key_data, octave_shift
//
// The file is 104 + 16 n bytes (for four-digit years). Instrument, channel,
// velocity and pitch bend are not stored.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "files/file_error.h"
#include "files/riff.h"
#include "record/performance_event.h"

namespace tonvale {

struct FileDate {
  int year;
  int month;
  int day;
};

// Today on the local calendar.
FileDate LocalDate();

// "%04d-%02d-%02d".
std::string FormatFileDate(FileDate date);

// What a recording file holds.
struct RecordingFile {
  std::vector<PerformanceEvent> events;
  std::int32_t key_mode = 0;
  std::uint32_t auto_bass = 0;  // as stored; only 1 means on
};

using QviReadResult = std::variant<RecordingFile, FileError>;

// Everything before the events: kQviHeaderBytes for four-digit years;
// nothing when `count` events would not fit a 32-bit chunk size.
std::optional<std::vector<std::uint8_t>> BuildQviHeader(std::size_t count, std::int32_t key_mode,
                                                        bool auto_bass, FileDate date);
inline constexpr std::size_t kQviHeaderBytes = 104;

// The bytes of a recording file; nothing when the events would not fit a
// 32-bit chunk size.
std::optional<std::vector<std::uint8_t>> BuildQviBytes(std::span<const PerformanceEvent> events,
                                                       std::int32_t key_mode, bool auto_bass,
                                                       FileDate date);

// Checks, in this order, stopping at the first that fails: a RIFF form
// "QV  " (kNotStandard); a "fmt " chunk in it (kNotStandard) of exactly 24
// bytes (kNotSupported) that can be read (kCannotRead) with a count other
// than 0 (kNotSupported); a "data" chunk after it (kNotStandard) of exactly
// 16 x count bytes (kNotSupported) that can be read (kCannotRead); then a
// key mode that is one of the 24 and octave shifts of -1, 0 or +1 only
// (kNotSupported). Other chunks are skipped.
QviReadResult ParseQvi(riff::Source& source);
QviReadResult ParseQviBytes(std::span<const std::uint8_t> bytes);

// As ParseQvi; kCannotOpen when the file cannot be opened.
QviReadResult ReadQviFile(const std::filesystem::path& path);

// Written safely (SafeWriter): on failure the old file is untouched.
std::optional<FileError> WriteQviFile(const std::filesystem::path& path,
                                      std::span<const PerformanceEvent> events,
                                      std::int32_t key_mode, bool auto_bass, FileDate date);

}  // namespace tonvale
