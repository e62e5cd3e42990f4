#include "files/midi_export.h"

#include <gtest/gtest.h>

#include "files_fixture.h"

namespace tonvale {
namespace {

using test::Append;
using test::Blob;
using test::Bytes;
using test::TwoEvents;

constexpr std::uint32_t kKeyA = 0x1E;  // octave 5, semitone 0: note 60 in C major

PerformanceEvent Press(std::uint32_t delta, std::uint32_t scan, std::int32_t shift = 0) {
  return {delta, 256, scan << 16 | 1, shift};
}
PerformanceEvent Release(std::uint32_t delta, std::uint32_t scan, std::int32_t shift = 0) {
  return {delta, 257, scan << 16 | 0xC0000001u, shift};
}

// The events of the melody track: after the 22-byte header and the tempo
// and program events, up to the closing notes.
Blob MelodyEvents(const Blob& file) {
  return Blob(file.begin() + 22 + 10, file.end() - 13);
}

Blob Track(const Blob& events) {
  Blob out = test::Text("MTrk");
  const auto n = static_cast<std::uint32_t>(events.size());
  Append(out, Bytes({int(n >> 24), int(n >> 16 & 0xFF), int(n >> 8 & 0xFF), int(n & 0xFF)}));
  Append(out, events);
  return out;
}

const Blob kTempo = Bytes({0x00, 0xFF, 0x51, 0x03, 0x0B, 0x96, 0xC6});
const Blob kEnd = Bytes({0xFF, 0x2F, 0x00});

TEST(MidiExport, TwoEventRecordingInFormat0And1) {
  Blob melody = kTempo;
  Append(melody, Bytes({0x00, 0xC0, 0x50, 0x82, 0x2F, 0x90, 0x3C, 0x7F, 0x4B, 0x80, 0x3C,
                        0x7F, 0x83, 0x0F, 0x90, 0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00}));
  Append(melody, kEnd);
  Blob expected = Bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0xC0});
  Append(expected, Track(melody));
  Blob program_0 = expected;
  program_0[31] = 0x00;  // the program change's data byte
  ASSERT_EQ(program_0.size(), 54u);
  EXPECT_EQ(BuildMidiBytes(TwoEvents(), 1297, 0, false), program_0);

  // Format 1 adds the bass track on channel 16, an octave down.
  expected[9] = 1;
  expected[11] = 2;
  Blob bass = kTempo;
  Append(bass,
         Bytes({0x00, 0xCF, 0x50, 0x82, 0x2F, 0x9F, 0x30, 0x7F, 0x4B, 0x8F, 0x30, 0x7F, 0x00}));
  Append(bass, kEnd);
  Append(expected, Track(bass));
  EXPECT_EQ(BuildMidiBytes(TwoEvents(), 1297, 0x50, true), expected);
}

TEST(MidiExport, DeltaTicksAndVariableLengthQuantities) {
  // Exact in 64 bits: the product is near 2^49.
  EXPECT_EQ(TicksOfDelay(0xFFFFFFFFu), 1085767261u);
  const struct {
    std::uint32_t delta_ms;
    Blob written;
  } deltas[] = {{1000, Bytes({0x81, 0x7C})},
                {3, Bytes({0x00})},
                {4, Bytes({0x01})},
                {22370, Bytes({0xAC, 0x17})},
                {200000, Bytes({0x83, 0x8A, 0x7F})},
                {1000000000, Bytes({0xF8, 0xC5, 0xD7, 0x12})},
                {0xFFFFFFFFu, Bytes({0xFF, 0xFF, 0xFF, 0x7F})}};  // past four bytes: clamped
  for (const auto& d : deltas) {
    Blob expected = d.written;
    Append(expected, Bytes({0x90, 0x3C, 0x7F}));
    EXPECT_EQ(MelodyEvents(*BuildMidiBytes({{Press(d.delta_ms, kKeyA)}}, 1297, 0, false)), expected)
        << d.delta_ms;
  }

  const struct {
    std::uint64_t value;
    Blob written;
  } quantities[] = {{0, Bytes({0x00})},
                    {0x7F, Bytes({0x7F})},
                    {0x80, Bytes({0x81, 0x00})},
                    {0x3FFF, Bytes({0xFF, 0x7F})},
                    {0x4000, Bytes({0x81, 0x80, 0x00})},
                    {0x1FFFFF, Bytes({0xFF, 0xFF, 0x7F})},
                    {0x200000, Bytes({0x81, 0x80, 0x80, 0x00})},
                    {0x0FFFFFFF, Bytes({0xFF, 0xFF, 0xFF, 0x7F})},
                    {0x10000000, Bytes({0xFF, 0xFF, 0xFF, 0x7F})},
                    {~std::uint64_t{0}, Bytes({0xFF, 0xFF, 0xFF, 0x7F})}};
  for (const auto& q : quantities) {
    Blob out = {0xAA};
    AppendVarLen(out, q.value);
    Blob expected = {0xAA};
    Append(expected, q.written);
    EXPECT_EQ(out, expected) << q.value;
  }
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
    EXPECT_EQ(MelodyEvents(*BuildMidiBytes({{Press(0, kKeyA)}}, m.mode, 0, false)),
              Bytes({0x00, 0x90, m.note, 0x7F}))
        << m.mode;
  }

  // Only the scan code counts; any message but a press is a note-off; a
  // recording that ends on a press keeps its note-on without a note-off.
  const std::vector<PerformanceEvent> odd = {{0, 0, 0x011F0000u, 0}, {0, 256, 0xFF140000u, 0}};
  EXPECT_EQ(MelodyEvents(*BuildMidiBytes(odd, 1297, 0, false)),
            Bytes({0x00, 0x80, 0x3E, 0x7F, 0x00, 0x90, 0x32, 0x7F}));
}

TEST(MidiExport, KeysWithoutANoteAreLeftOutAndKeepTheirTime) {
  // Scan 0 plays nothing, 0x60 lies beyond the table.
  const std::vector<PerformanceEvent> events = {
      Press(1000, 0), Press(1000, kKeyA), Release(1000, 0x60), Release(4, kKeyA), Press(1000, 14)};
  const Blob file = *BuildMidiBytes(events, 1297, 0, true);
  // 252 + 252 ticks, 252 + 1 ticks, then 252 + 399 ticks before the closing notes.
  Blob melody = kTempo;
  Append(melody, Bytes({0x00, 0xC0, 0x00, 0x83, 0x78, 0x90, 0x3C, 0x7F, 0x81, 0x7D, 0x80, 0x3C,
                        0x7F, 0x85, 0x0B, 0x90, 0x01, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00}));
  Append(melody, kEnd);
  Blob bass = kTempo;
  Append(bass, Bytes({0x00, 0xCF, 0x00, 0x83, 0x78, 0x9F, 0x30, 0x7F, 0x81, 0x7D, 0x8F, 0x30, 0x7F,
                      0x81, 0x7C}));
  Append(bass, kEnd);
  Blob expected = Bytes({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0, 0xC0});
  Append(expected, Track(melody));
  Append(expected, Track(bass));
  EXPECT_EQ(file, expected);

  // Ticks added up past four bytes stop at the largest quantity.
  const std::vector<PerformanceEvent> long_gap = {Press(0xFFFFFFFFu, 0), Press(0xFFFFFFFFu, kKeyA)};
  EXPECT_EQ(MelodyEvents(*BuildMidiBytes(long_gap, 1297, 0, false)),
            Bytes({0xFF, 0xFF, 0xFF, 0x7F, 0x90, 0x3C, 0x7F}));
}

TEST(MidiExport, BadSettingsBuildNothingAndFilesAreReplacedWholeOrNotAtAll) {
  for (auto [mode, program] : {std::pair{1306, 0}, {0, 0}, {1297, 128}, {1297, -1}})
    EXPECT_FALSE(BuildMidiBytes(TwoEvents(), mode, program, true)) << mode << " " << program;
  // An empty recording is still a playable file: tempo, program, closing.
  EXPECT_EQ(BuildMidiBytes({}, 1297, 0, false)->size(), 22u + 7 + 3 + 13);

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
