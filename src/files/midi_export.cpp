#include "files/midi_export.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "files/safe_write.h"
#include "perform/instrument.h"
#include "perform/key_table.h"
#include "perform/midi_messages.h"
#include "perform/settings.h"
#include "perform/sustain_pedal.h"

namespace tonvale {

namespace {

constexpr std::uint8_t kTempoEvent[] = {0x00, 0xFF, 0x51, 0x03, 0x0B, 0x96, 0xC6};
constexpr std::uint8_t kEndOfTrack[] = {0xFF, 0x2F, 0x00};
// Note 1 on at velocity 0, then off: the melody track's last events.
constexpr std::uint8_t kClosingNotes[] = {0x90, 0x01, 0x00, 0x00, 0x80, 0x01, 0x00};
constexpr std::uint64_t kClosingTicks = 399;  // about 1.58 s of the last notes' decay
constexpr std::uint8_t kVelocity = 0x7F;

struct Track {
  std::uint8_t channel;
  int transpose;
};

// Returns the number of bytes written, 1 to 4.
std::size_t WriteVarLen(std::uint8_t* out, std::uint64_t value) {
  const std::uint32_t v = static_cast<std::uint32_t>(std::min(value, kMaxVarLen));
  std::size_t groups = 1;
  while (groups < 4 && (v >> (7 * groups)) != 0) ++groups;
  for (std::size_t i = groups - 1; i > 0; --i) {
    *out++ = static_cast<std::uint8_t>(((v >> (7 * i)) & 0x7F) | 0x80);
  }
  *out = static_cast<std::uint8_t>(v & 0x7F);
  return groups;
}

// Writes into a buffer sized beforehand for the longest possible track.
class Cursor {
 public:
  explicit Cursor(std::uint8_t* at) : at_(at) {}
  std::uint8_t* at() const { return at_; }
  void Put(std::uint8_t b) { *at_++ = b; }
  void Put(std::span<const std::uint8_t> bytes) {
    std::memcpy(at_, bytes.data(), bytes.size());
    at_ += bytes.size();
  }
  void PutU32BE(std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) Put(static_cast<std::uint8_t>(value >> shift));
  }
  void PutVarLen(std::uint64_t value) { at_ += WriteVarLen(at_, value); }

 private:
  std::uint8_t* at_;
};

std::span<const std::uint8_t> Tag(const char (&text)[5]) {
  return {reinterpret_cast<const std::uint8_t*>(text), 4};
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

// The longest track: its header, tempo and program, then per event a
// four-byte delta and three bytes, the closing notes and the end of track
// each after a four-byte delta.
constexpr std::uint64_t MaxTrackBytes(std::uint64_t events) {
  return 8 + sizeof kTempoEvent + 3 + 7 * events + (4 + sizeof kClosingNotes) +
         (4 + sizeof kEndOfTrack);
}

// Writes one track, header included; false when it would not fit a 32-bit
// length.
bool PutTrack(Cursor& out, std::span<const PerformanceEvent> events, int offset,
              std::uint8_t program, Track track, bool closing_notes) {
  out.Put(Tag("MTrk"));
  std::uint8_t* const length_at = out.at();
  out.PutU32BE(0);
  std::uint8_t* const begin = out.at();

  out.Put(kTempoEvent);
  out.Put(0x00);
  out.Put(static_cast<std::uint8_t>(0xC0 | track.channel));
  out.Put(program);
  std::uint64_t ticks = 0;  // since the last event written
  for (const PerformanceEvent& event : events) {
    ticks += TicksOfDelay(event.delta_ms);
    if (IsPedalKey(event.key_data)) {
      // Space plays no note but holds the pedal, on each track's channel.
      out.PutVarLen(ticks);
      ticks = 0;
      out.Put(static_cast<std::uint8_t>(kControlChange | track.channel));
      out.Put(kSustainController);
      out.Put(static_cast<std::uint8_t>(event.message == kKeyDown ? kPedalDown : kPedalUp));
      continue;
    }
    const std::optional<std::uint8_t> note = NoteOf(event, offset, track.transpose);
    if (!note) continue;
    out.PutVarLen(ticks);
    ticks = 0;
    const std::uint8_t status = event.message == kKeyDown ? 0x90 : 0x80;
    out.Put(static_cast<std::uint8_t>(status | track.channel));
    out.Put(*note);
    out.Put(kVelocity);
  }
  if (closing_notes) {
    out.PutVarLen(ticks + kClosingTicks);
    ticks = 0;
    out.Put(kClosingNotes);
  }
  out.PutVarLen(ticks);
  out.Put(kEndOfTrack);

  const std::uint64_t length = static_cast<std::uint64_t>(out.at() - begin);
  if (length > std::numeric_limits<std::uint32_t>::max()) return false;
  Cursor(length_at).PutU32BE(static_cast<std::uint32_t>(length));
  return true;
}

}  // namespace

void AppendVarLen(std::vector<std::uint8_t>& out, std::uint64_t value) {
  std::uint8_t bytes[4];
  out.insert(out.end(), bytes, bytes + WriteVarLen(bytes, value));
}

std::optional<std::vector<std::uint8_t>> BuildMidiBytes(std::span<const PerformanceEvent> events,
                                                        std::int32_t key_mode, std::int32_t program,
                                                        bool auto_bass) {
  const std::optional<int> offset = TonicOffset(key_mode);
  if (!offset || program < 0 || program > 127) return std::nullopt;
  const auto prog = static_cast<std::uint8_t>(program);

  const std::uint64_t size = 14 + (auto_bass ? 2 : 1) * MaxTrackBytes(events.size());
  if (size > std::numeric_limits<std::size_t>::max()) return std::nullopt;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(size));
  Cursor cursor(out.data());
  cursor.Put(Tag("MThd"));
  cursor.PutU32BE(6);
  const std::uint8_t format[] = {0x00, static_cast<std::uint8_t>(auto_bass ? 1 : 0),
                                 0x00, static_cast<std::uint8_t>(auto_bass ? 2 : 1),
                                 0x00, kMidiDivision};
  cursor.Put(format);
  if (!PutTrack(cursor, events, *offset, prog, {0, 0}, true)) return std::nullopt;
  if (auto_bass && !PutTrack(cursor, events, *offset, prog,
                             {static_cast<std::uint8_t>(kBassChannel), -12}, false)) {
    return std::nullopt;
  }
  out.resize(static_cast<std::size_t>(cursor.at() - out.data()));
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
