#include "files/midi_export.h"

#include <gtest/gtest.h>

#include "files_fixture.h"
#include "perform/key_table.h"

namespace tonvale {
namespace {

using test::Append;
using test::Bytes;
using test::Text;
using test::TwoEvents;
using Blob = std::vector<std::uint8_t>;

constexpr std::uint32_t kKeyA = 0x1E;  // octave 5, semitone 0: note 60 in C major

PerformanceEvent Press(std::uint32_t delta, std::uint32_t scan, std::int32_t shift = 0) {
  return {delta, 256, scan << 16 | 1, shift};
}
PerformanceEvent Release(std::uint32_t delta, std::uint32_t scan, std::int32_t shift = 0) {
  return {delta, 257, scan << 16 | 0xC0000001u, shift};
}

Blob VarLen(std::uint64_t value) {
  Blob out;
  AppendVarLen(out, value);
  return out;
}

// The events of the melody track: after the 22-byte header and the tempo
// and program events, up to the closing notes.
Blob MelodyEvents(const Blob& file) {
  return Blob(file.begin() + 22 + 10, file.end() - 13);
}

Blob Track(const Blob& events) {
  Blob out = Text("MTrk");
  const auto n = static_cast<std::uint32_t>(events.size());
  Append(out, Bytes({int(n >> 24), int(n >> 16 & 0xFF), int(n >> 8 & 0xFF), int(n & 0xFF)}));
  Append(out, events);
  return out;
}

TEST(MidiExport, TwoEventRecordingFormat0) {
  const std::optional<Blob> bytes = BuildMidiBytes(TwoEvents(), 1297, 0, false);
  ASSERT_TRUE(bytes);
  Blob expected = Text("MThd");
  Append(expected, Bytes({0, 0, 0, 6, 0, 0, 0, 1, 0, 0xC0}));
  Append(expected, Text("MTrk"));
  Append(expected, Bytes({0, 0, 0, 0x20}));
  Append(expected, Bytes({0x00, 0xFF, 0x51, 0x03, 0x0B, 0x96, 0xC6, 0x00, 0xC0, 0x00, 0x82,
                          0x2F, 0x90, 0x3C, 0x7F, 0x4B, 0x80, 0x3C, 0x7F, 0x83, 0x0F, 0x90,
                          0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
  ASSERT_EQ(expected.size(), 54u);
  EXPECT_EQ(*bytes, expected);
}

TEST(MidiExport, Format1AddsTheBassTrackOnChannel16AnOctaveDown) {
  const Blob bytes = *BuildMidiBytes(TwoEvents(), 1297, 0x50, true);
  Blob expected = Text("MThd");
  Append(expected, Bytes({0, 0, 0, 6, 0, 1, 0, 2, 0, 0xC0}));
  Append(expected, Track(Bytes({0x00, 0xFF, 0x51, 0x03, 0x0B, 0x96, 0xC6, 0x00, 0xC0, 0x50, 0x82,
                                0x2F, 0x90, 0x3C, 0x7F, 0x4B, 0x80, 0x3C, 0x7F, 0x83, 0x0F, 0x90,
                                0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00, 0xFF, 0x2F, 0x00})));
  Append(expected,
         Track(Bytes({0x00, 0xFF, 0x51, 0x03, 0x0B, 0x96, 0xC6, 0x00, 0xCF, 0x50, 0x82, 0x2F,
                      0x9F, 0x30, 0x7F, 0x4B, 0x8F, 0x30, 0x7F, 0x00, 0xFF, 0x2F, 0x00})));
  EXPECT_EQ(bytes, expected);
}

TEST(MidiExport, DeltaTicksAndVariableLengthQuantities) {
  EXPECT_EQ(TicksOfDelay(1000), 252u);
  EXPECT_EQ(TicksOfDelay(3), 0u);
  EXPECT_EQ(TicksOfDelay(4), 1u);
  EXPECT_EQ(TicksOfDelay(22370), 5655u);
  EXPECT_EQ(TicksOfDelay(200000), 50559u);
  // No wrap in 32 bits: the product is near 2^49.
  EXPECT_EQ(TicksOfDelay(0xFFFFFFFFu), 1085767261u);

  const struct {
    std::uint32_t delta_ms;
    Blob written;
  } deltas[] = {{1000, Bytes({0x81, 0x7C})},
                {3, Bytes({0x00})},
                {4, Bytes({0x01})},
                {22370, Bytes({0xAC, 0x17})},
                {200000, Bytes({0x83, 0x8A, 0x7F})},
                {0xFFFFFFFFu, Bytes({0xFF, 0xFF, 0xFF, 0x7F})}};
  for (const auto& d : deltas) {
    const Blob file = *BuildMidiBytes({{Press(d.delta_ms, kKeyA)}}, 1297, 0, false);
    Blob expected = d.written;
    Append(expected, Bytes({0x90, 0x3C, 0x7F}));
    EXPECT_EQ(MelodyEvents(file), expected) << d.delta_ms;
  }

  EXPECT_EQ(VarLen(0), Bytes({0x00}));
  EXPECT_EQ(VarLen(0x7F), Bytes({0x7F}));
  EXPECT_EQ(VarLen(0x80), Bytes({0x81, 0x00}));
  EXPECT_EQ(VarLen(0x3FFF), Bytes({0xFF, 0x7F}));
  EXPECT_EQ(VarLen(0x4000), Bytes({0x81, 0x80, 0x00}));
  EXPECT_EQ(VarLen(0x1FFFFF), Bytes({0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(VarLen(0x200000), Bytes({0x81, 0x80, 0x80, 0x00}));
  EXPECT_EQ(VarLen(0x0FFFFFFF), Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(VarLen(0x10000000), Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
  EXPECT_EQ(VarLen(~std::uint64_t{0}), Bytes({0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(MidiExport, NotesFollowKeyModeShiftAndMessage) {
  // Shift raises the press and its release alike; Ctrl lowers.
  const std::vector<PerformanceEvent> shifted = {Press(0, kKeyA, 1), Release(0, kKeyA, 1),
                                                 Press(0, kKeyA, -1), Release(0, kKeyA, -1)};
  EXPECT_EQ(MelodyEvents(*BuildMidiBytes(shifted, 1297, 0, false)),
            Bytes({0x00, 0x90, 0x48, 0x7F, 0x00, 0x80, 0x48, 0x7F, 0x00, 0x90, 0x30, 0x7F, 0x00,
                   0x80, 0x30, 0x7F}));

  const struct {
    std::int32_t mode;
    int note;
  } modes[] = {{1297, 60}, {1320, 60}, {1321, 62}, {1303, 59}, {1314, 56}, {1331, 66}, {1305, 61}};
  for (const auto& m : modes) {
    const Blob events = MelodyEvents(*BuildMidiBytes({{Press(0, kKeyA)}}, m.mode, 0, false));
    EXPECT_EQ(events, Bytes({0x00, 0x90, m.note, 0x7F})) << m.mode;
  }

  // Only the scan code counts; any message but a press is a note-off; a
  // recording that ends on a press keeps its note-on without a note-off.
  const std::vector<PerformanceEvent> odd = {{0, 0, 0x011F0000u, 0}, {0, 256, 0xFF140000u, 0}};
  EXPECT_EQ(MelodyEvents(*BuildMidiBytes(odd, 1297, 0, false)),
            Bytes({0x00, 0x80, 0x3E, 0x7F, 0x00, 0x90, 0x32, 0x7F}));

  // Every note of the table in every mode and shift is a valid data byte,
  // the bass note too.
  int bad_bytes = 0;
  for (std::int32_t mode : kKeyModes) {
    for (std::uint32_t scan = 0; scan < 54; ++scan) {
      for (int shift = -1; shift <= 1; ++shift) {
        const Blob melody =
            MelodyEvents(*BuildMidiBytes({{Press(0, scan, shift)}}, mode, 0, false));
        if (melody.empty()) continue;  // a scan code without a note
        const Blob both = *BuildMidiBytes({{Press(0, scan, shift)}}, mode, 0, true);
        const std::uint8_t bass = both[both.size() - 6];
        if (melody[2] > 0x7F || bass > 0x7F || bass + 12 != melody[2]) ++bad_bytes;
      }
    }
  }
  EXPECT_EQ(bad_bytes, 0);
}

TEST(MidiExport, KeysWithoutANoteAreLeftOutAndKeepTheirTime) {
  // Scan 0 plays nothing, 0x60 lies beyond the table.
  const std::vector<PerformanceEvent> events = {
      Press(1000, 0), Press(1000, kKeyA), Release(1000, 0x60), Release(4, kKeyA), Press(1000, 14)};
  const Blob file = *BuildMidiBytes(events, 1297, 0, true);
  Blob melody = Bytes({0x00, 0xFF, 0x51, 0x03, 0x0B, 0x96, 0xC6, 0x00, 0xC0, 0x00});
  // 252 + 252 ticks, 252 + 1 ticks, then 252 + 399 ticks before the closing notes.
  Append(melody, Bytes({0x83, 0x78, 0x90, 0x3C, 0x7F, 0x81, 0x7D, 0x80, 0x3C, 0x7F}));
  Append(melody,
         Bytes({0x85, 0x0B, 0x90, 0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00, 0xFF, 0x2F, 0x00}));
  Blob bass = Bytes({0x00, 0xFF, 0x51, 0x03, 0x0B, 0x96, 0xC6, 0x00, 0xCF, 0x00});
  Append(bass, Bytes({0x83, 0x78, 0x9F, 0x30, 0x7F, 0x81, 0x7D, 0x8F, 0x30, 0x7F}));
  Append(bass, Bytes({0x81, 0x7C, 0xFF, 0x2F, 0x00}));
  Blob expected = Text("MThd");
  Append(expected, Bytes({0, 0, 0, 6, 0, 1, 0, 2, 0, 0xC0}));
  Append(expected, Track(melody));
  Append(expected, Track(bass));
  EXPECT_EQ(file, expected);

  // Ticks added up past four bytes stop at the largest quantity.
  const std::vector<PerformanceEvent> long_gap = {Press(0xFFFFFFFFu, 0), Press(0xFFFFFFFFu, kKeyA)};
  EXPECT_EQ(MelodyEvents(*BuildMidiBytes(long_gap, 1297, 0, false)),
            Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x7F}));
}

TEST(MidiExport, NothingIsBuiltForABadKeyModeOrProgram) {
  EXPECT_FALSE(BuildMidiBytes(TwoEvents(), 1306, 0, false));
  EXPECT_FALSE(BuildMidiBytes(TwoEvents(), 0, 0, true));
  EXPECT_FALSE(BuildMidiBytes(TwoEvents(), 1297, 128, false));
  EXPECT_FALSE(BuildMidiBytes(TwoEvents(), 1297, -1, false));
  // An empty recording is still a playable file: tempo, program, closing.
  EXPECT_EQ(BuildMidiBytes({}, 1297, 0, false)->size(), 22u + 7 + 3 + 13);
}

TEST(MidiExport, FilesAreReplacedWholeOrNotAtAll) {
  test::ScratchFolder folder;
  const auto path = folder / "song.mid";
  ASSERT_EQ(ExportMidiFile(path, TwoEvents(), 1297, 0, false), std::nullopt);
  EXPECT_EQ(test::ReadAll(path), *BuildMidiBytes(TwoEvents(), 1297, 0, false));

  EXPECT_EQ(ExportMidiFile(folder / "none/x.mid", TwoEvents(), 1297, 0, false),
            FileError::kCannotCreate);
  EXPECT_EQ(ExportMidiFile(path, TwoEvents(), 1306, 0, false), FileError::kCannotWrite);
  EXPECT_EQ(test::ReadAll(path).size(), 54u);

  EXPECT_EQ(folder.Names(), std::vector<std::string>{"song.mid"});
}

}  // namespace
}  // namespace tonvale
