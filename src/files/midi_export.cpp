#include "files/midi_export.h"

#include <algorithm>
#include <limits>
#include <new>

#include "files/safe_write.h"
#include "perform/instrument.h"
#include "perform/key_table.h"
#include "perform/settings.h"

namespace tonvale {

namespace {

constexpr std::uint8_t kTempoEvent[] = {0x00, 0xFF, 0x51, 0x03, 0x0B, 0x96, 0xC6};
constexpr std::uint8_t kEndOfTrack[] = {0xFF, 0x2F, 0x00};
constexpr std::uint64_t kClosingTicks = 399;  // about 1.58 s of the last notes' decay
constexpr std::uint8_t kVelocity = 0x7F;

struct Track {
  std::uint8_t channel;
  int transpose;
};

void AppendBytes(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendU32BE(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// The note an event plays in this track, or nothing for a key without a note
// or a note beyond MIDI's range.
std::optional<std::uint8_t> NoteOf(const PerformanceEvent& event, int offset, int transpose) {
  const KeyEntry* entry = FindKey(ScanCodeOf(event.key_data));
  if (entry == nullptr) return std::nullopt;
  const std::int64_t note = std::int64_t{12} * (std::int64_t{entry->octave} + event.octave_shift) +
                            entry->semitone + offset + transpose;
  if (note < 0 || note > 127) return std::nullopt;
  return static_cast<std::uint8_t>(note);
}

// The track's events after its header; returns false when it would not fit
// a 32-bit length.
bool AppendTrack(std::vector<std::uint8_t>& out, std::span<const PerformanceEvent> events,
                 int offset, std::uint8_t program, Track track, bool closing_notes) {
  AppendBytes(out, {reinterpret_cast<const std::uint8_t*>("MTrk"), 4});
  const std::size_t length_at = out.size();
  AppendU32BE(out, 0);
  const std::size_t begin = out.size();

  AppendBytes(out, kTempoEvent);
  out.insert(out.end(), {0x00, static_cast<std::uint8_t>(0xC0 | track.channel), program});
  std::uint64_t ticks = 0;  // since the last event written
  for (const PerformanceEvent& event : events) {
    ticks += TicksOfDelay(event.delta_ms);
    const std::optional<std::uint8_t> note = NoteOf(event, offset, track.transpose);
    if (!note) continue;
    AppendVarLen(out, ticks);
    ticks = 0;
    const std::uint8_t status = event.message == kKeyDown ? 0x90 : 0x80;
    out.insert(out.end(), {static_cast<std::uint8_t>(status | track.channel), *note, kVelocity});
  }
  if (closing_notes) {
    AppendVarLen(out, ticks + kClosingTicks);
    ticks = 0;
    out.insert(out.end(), {0x90, 0x01, 0x00, 0x00, 0x80, 0x01, 0x00});
  }
  AppendVarLen(out, ticks);
  AppendBytes(out, kEndOfTrack);

  const std::size_t length = out.size() - begin;
  if (length > std::numeric_limits<std::uint32_t>::max()) return false;
  for (int i = 0; i < 4; ++i) {
    out[length_at + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
  }
  return true;
}

}  // namespace

void AppendVarLen(std::vector<std::uint8_t>& out, std::uint64_t value) {
  const std::uint32_t v = static_cast<std::uint32_t>(std::min(value, kMaxVarLen));
  int groups = 1;
  while (groups < 4 && (v >> (7 * groups)) != 0) ++groups;
  for (int i = groups - 1; i > 0; --i) {
    out.push_back(static_cast<std::uint8_t>(((v >> (7 * i)) & 0x7F) | 0x80));
  }
  out.push_back(static_cast<std::uint8_t>(v & 0x7F));
}

std::optional<std::vector<std::uint8_t>> BuildMidiBytes(std::span<const PerformanceEvent> events,
                                                        std::int32_t key_mode, std::int32_t program,
                                                        bool auto_bass) {
  const std::optional<int> offset = TonicOffset(key_mode);
  if (!offset || program < 0 || program > 127) return std::nullopt;
  const auto prog = static_cast<std::uint8_t>(program);

  std::vector<std::uint8_t> out;
  // The longest event is a four-byte delta and three bytes.
  out.reserve((auto_bass ? 2 : 1) * (8 * events.size() + 36) + 14);
  AppendBytes(out, {reinterpret_cast<const std::uint8_t*>("MThd"), 4});
  AppendU32BE(out, 6);
  out.insert(out.end(), {0x00, static_cast<std::uint8_t>(auto_bass ? 1 : 0), 0x00,
                         static_cast<std::uint8_t>(auto_bass ? 2 : 1), 0x00, kMidiDivision});
  if (!AppendTrack(out, events, *offset, prog, {0, 0}, true)) return std::nullopt;
  if (auto_bass && !AppendTrack(out, events, *offset, prog,
                                {static_cast<std::uint8_t>(kBassChannel), -12}, false)) {
    return std::nullopt;
  }
  return out;
}

std::optional<FileError> ExportMidiFile(const std::filesystem::path& path,
                                        std::span<const PerformanceEvent> events,
                                        std::int32_t key_mode, std::int32_t program,
                                        bool auto_bass) {
  std::optional<std::vector<std::uint8_t>> bytes;
  try {
    bytes = BuildMidiBytes(events, key_mode, program, auto_bass);
  } catch (const std::bad_alloc&) {
    return FileError::kCannotWrite;
  }
  if (!bytes) return FileError::kCannotWrite;
  return WriteFileSafely(path, *bytes);
}

}  // namespace tonvale
