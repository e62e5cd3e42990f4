#include "files/midi_export.h"

#include <gtest/gtest.h>

#include "files_fixture.h"

namespace tonvale {
namespace {

using test::Str;

PerformanceEvent Key(std::uint32_t delta, std::uint32_t scan, std::int32_t message = 256,
                     std::int32_t shift = 0) {
  return {delta, message, scan << 16 | 1, shift};
}

TEST(MidiExport, TwoEventRecordingInFormat0And1) {
  const std::string format0(
      "MThd\0\0\0\6\0\0\0\1\0\xC0MTrk\0\0\0\x20\0\xFF\x51\3\x0B\x96\xC6\0\xC0\0"
      "\x82\x2F\x90\x3C\x7F\x4B\x80\x3C\x7F\x83\x0F\x90\1\0\0\x80\1\0\0\xFF\x2F\0"sv);
  EXPECT_EQ(Str(*BuildMidiBytes(test::kTwoEvents, 1297, 0, false)), format0);
  // Format 1 adds the bass track on channel 16, an octave down, without the
  // closing notes; both tracks take the program.
  std::string format1 = format0 +
                        "MTrk\0\0\0\x17\0\xFF\x51\3\x0B\x96\xC6\0\xCF\x50\x82\x2F\x9F"
                        "\x30\x7F\x4B\x8F\x30\x7F\0\xFF\x2F\0"s;
  format1[9] = 1, format1[11] = 2, format1[31] = 0x50;
  EXPECT_EQ(Str(*BuildMidiBytes(test::kTwoEvents, 1297, 0x50, true)), format1);
  EXPECT_FALSE(BuildMidiBytes(test::kTwoEvents, 1306, 0, 0) || BuildMidiBytes({}, 1297, 128, 0));
}

TEST(MidiExport, EventsFollowTheirDelayKeyModeShiftAndMessage) {
  const std::pair<std::vector<PerformanceEvent>, std::string_view> cases[] = {
      // Delays become ticks in variable-length quantities of up to 4 bytes.
      {{Key(3, 0x1E)}, "\0\x90\x3C\x7F"sv},
      {{Key(4, 0x1E)}, "\1\x90\x3C\x7F"sv},
      {{Key(1000, 0x1E)}, "\x81\x7C\x90\x3C\x7F"sv},
      {{Key(22370, 0x1E)}, "\xAC\x17\x90\x3C\x7F"sv},
      {{Key(200000, 0x1E)}, "\x83\x8A\x7F\x90\x3C\x7F"sv},
      {{Key(1000000000, 0x1E)}, "\xF8\xC5\xD7\x12\x90\x3C\x7F"sv},
      {{Key(0xFFFFFFFF, 0x1E)}, "\xFF\xFF\xFF\x7F\x90\x3C\x7F"sv},  // the largest
      // Shift raises a press and its release alike, Ctrl lowers; any message
      // but a press is a note-off; only the scan code counts.
      {{Key(0, 0x1E, 256, 1), Key(0, 0x1E, 257, 1), Key(0, 0x1E, 256, -1), {0, 0, 0x011E0000, 0}},
       "\0\x90\x48\x7F\0\x80\x48\x7F\0\x90\x30\x7F\0\x80\x3C\x7F"sv},
      // Keys without a note (0, and 0x60 beyond the table) are left out,
      // their ticks added to the next: 252 + 252, then 252 + 1.
      {{Key(1000, 0), Key(1000, 0x1E), Key(1000, 0x60, 257), Key(4, 0x1E, 257)},
       "\x83\x78\x90\x3C\x7F\x81\x7D\x80\x3C\x7F"sv},
  };
  for (const auto& [events, melody] : cases) {
    const std::string file = Str(*BuildMidiBytes(events, 1297, 0, false));
    EXPECT_EQ(file.substr(32, file.size() - 45), melody);  // before the closing notes
  }
  EXPECT_EQ(Str(*BuildMidiBytes(std::vector{Key(0, 0x1E)}, 1321, 0, false)).substr(32, 4),
            "\0\x90\x3E\x7F"sv);
}

// Space (scan code 57) plays no note but is the sustain pedal: Control
// Change 64 on each track's channel, 127 for a press and 0 for anything
// else, at its own ticks.
TEST(MidiExport, ThePedalIsControlChange64InBothTracks) {
  const std::vector<PerformanceEvent> events = {
      Key(1000, 57), Key(4, 0x1E), Key(1000, 0x1E, 257), {22370, 257, 0xC0390001, 1}};
  const std::string file(
      "MThd\0\0\0\6\0\1\0\2\0\xC0"
      "MTrk\0\0\0\x2A\0\xFF\x51\3\x0B\x96\xC6\0\xC0\0"
      "\x81\x7C\xB0\x40\x7F\1\x90\x3C\x7F\x81\x7C\x80\x3C\x7F\xAC\x17\xB0\x40\0"
      "\x83\x0F\x90\1\0\0\x80\1\0\0\xFF\x2F\0"
      "MTrk\0\0\0\x21\0\xFF\x51\3\x0B\x96\xC6\0\xCF\0"
      "\x81\x7C\xBF\x40\x7F\1\x9F\x30\x7F\x81\x7C\x8F\x30\x7F\xAC\x17\xBF\x40\0"
      "\0\xFF\x2F\0"sv);
  EXPECT_EQ(Str(*BuildMidiBytes(events, 1297, 0, true)), file);
  const std::vector<PerformanceEvent> odd = {Key(0, 57, 0)};  // neither press nor release
  EXPECT_EQ(Str(*BuildMidiBytes(odd, 1297, 0, false)).substr(32, 4), "\0\xB0\x40\0"sv);
}

}  // namespace
}  // namespace tonvale
