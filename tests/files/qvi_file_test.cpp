#include "files/qvi_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "files/riff.h"
#include "files_fixture.h"

namespace tonvale {
namespace {

using test::Append;
using test::Bytes;
using test::kDate;
using test::Text;
using test::TwoEvents;
using Blob = std::vector<std::uint8_t>;

Blob U32(std::uint32_t v) {
  return Bytes({int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF), int(v >> 24)});
}

Blob Chunk(const char* id, const Blob& data) {
  Blob out = Text(id);
  Append(out, U32(static_cast<std::uint32_t>(data.size())));
  Append(out, data);
  if (data.size() % 2) out.push_back(0);
  return out;
}

Blob Riff(const char* form, const std::vector<Blob>& chunks) {
  Blob body = Text(form);
  for (const Blob& c : chunks) Append(body, c);
  return Chunk("RIFF", body);
}

Blob Fmt(std::uint32_t count, std::uint32_t mode = 1297, std::uint32_t bass = 0) {
  Blob out;
  for (std::uint32_t v : {count, mode, bass, 0u, 0u, 0u}) Append(out, U32(v));
  return out;
}

Blob EventBytes(const std::vector<PerformanceEvent>& events) {
  Blob out;
  for (const PerformanceEvent& e : events) {
    for (std::uint32_t v :
         {e.delta_ms, std::uint32_t(e.message), e.key_data, std::uint32_t(e.octave_shift)}) {
      Append(out, U32(v));
    }
  }
  return out;
}

Blob Info() {
  Blob list = Text("INFO");
  Append(list, Chunk("ISFT", Text("QV by Dalo\0\0")));
  return Chunk("LIST", list);
}

TEST(QviFile, TwoEventRecordingByteForByte) {
  const std::optional<Blob> bytes = BuildQviBytes(TwoEvents(), 1297, false, kDate);
  ASSERT_TRUE(bytes);
  Blob expected = Text("RIFF");
  Append(expected, Bytes({128, 0, 0, 0}));
  Append(expected, Text("QV  LIST"));
  Append(expected, Bytes({44, 0, 0, 0}));
  Append(expected, Text("INFOISFT"));
  Append(expected, Bytes({11, 0, 0, 0}));
  Append(expected, Text("QV by Dalo"));
  Append(expected, Bytes({0, 0}));
  Append(expected, Text("ISCD"));
  Append(expected, Bytes({11, 0, 0, 0}));
  Append(expected, Text("2024-03-09"));
  Append(expected, Bytes({0, 0}));
  Append(expected, Text("fmt "));
  Append(expected, Bytes({24, 0, 0, 0, 2, 0, 0, 0, 0x11, 0x05, 0, 0, 0, 0, 0, 0}));
  Append(expected, Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  Append(expected, Text("data"));
  Append(expected, Bytes({32, 0, 0, 0}));
  Append(expected, Bytes({0xB0, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0x1E,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x01, 0x00, 0x00, 0x01, 0x01,
                          0x00, 0x00, 0x01, 0x00, 0x1E, 0xC0, 0x00, 0x00, 0x00, 0x00}));
  ASSERT_EQ(expected.size(), 136u);
  EXPECT_EQ(*bytes, expected);
}

TEST(QviFile, SizesFlagsDateAndRoundTrip) {
  for (std::size_t n : {1u, 3u, 1000u}) {
    std::vector<PerformanceEvent> events;
    for (std::size_t i = 0; i < n; ++i) {
      events.push_back({std::uint32_t(i * 7919), i % 2 ? 257 : 256,
                        std::uint32_t((30 + i % 20) << 16 | 1), int(i % 3) - 1});
    }
    const Blob bytes = *BuildQviBytes(events, 1332, true, {987, 12, 31});
    ASSERT_EQ(bytes.size(), 104 + 16 * n);
    EXPECT_EQ(riff::LoadU32(&bytes[4]), 96 + 16 * n);
    EXPECT_EQ(riff::LoadU32(&bytes[72]), n);
    EXPECT_EQ(riff::LoadU32(&bytes[76]), 1332u);
    EXPECT_EQ(riff::LoadU32(&bytes[80]), 1u);
    EXPECT_EQ(riff::LoadU32(&bytes[100]), 16 * n);
    EXPECT_EQ(std::memcmp(&bytes[52], "0987-12-31", 11), 0);

    const QviReadResult read = ParseQviBytes(bytes);
    ASSERT_TRUE(std::holds_alternative<RecordingFile>(read));
    const RecordingFile& file = std::get<RecordingFile>(read);
    EXPECT_EQ(file.key_mode, 1332);
    EXPECT_EQ(file.auto_bass, 1u);
    ASSERT_EQ(file.events.size(), n);
    for (std::size_t i = 0; i < n; ++i) {
      EXPECT_EQ(file.events[i].delta_ms, events[i].delta_ms);
      EXPECT_EQ(file.events[i].message, events[i].message);
      EXPECT_EQ(file.events[i].key_data, events[i].key_data);
      EXPECT_EQ(file.events[i].octave_shift, events[i].octave_shift);
    }
  }
  EXPECT_EQ(riff::LoadU32(&(*BuildQviBytes(TwoEvents(), 1297, false, kDate))[80]), 0u);
  EXPECT_EQ(FormatFileDate({2024, 3, 9}), "2024-03-09");
}

TEST(QviFile, ReaderTakesForeignButSoundFiles) {
  const Blob events = EventBytes(TwoEvents());
  // Stored automatic bass other than 0 or 1 is handed back as it is.
  const Blob odd_bass = Riff("QV  ", {Chunk("fmt ", Fmt(2, 1297, 7)), Chunk("data", events)});
  // No information list, an odd-sized unknown chunk between fmt and data,
  // data before fmt in a list that is skipped, a trailing chunk.
  Blob list = Text("INFO");
  Append(list, Chunk("data", Blob(5, 0)));
  const Blob skipped =
      Riff("QV  ", {Chunk("LIST", list), Chunk("fmt ", Fmt(2, 1320)), Chunk("junk", Blob(3, 9)),
                    Chunk("data", events), Chunk("tail", Blob(1, 1))});
  // A WAVE form first, the recording in a second RIFF chunk.
  Blob two_forms = Riff("WAVE", {Chunk("fmt ", Blob(16, 0))});
  Append(two_forms, Riff("QV  ", {Info(), Chunk("fmt ", Fmt(2)), Chunk("data", events)}));

  for (const Blob& file : {odd_bass, skipped, two_forms}) {
    const QviReadResult read = ParseQviBytes(file);
    ASSERT_TRUE(std::holds_alternative<RecordingFile>(read));
    EXPECT_EQ(std::get<RecordingFile>(read).events.size(), 2u);
  }
  EXPECT_EQ(std::get<RecordingFile>(ParseQviBytes(odd_bass)).auto_bass, 7u);
  EXPECT_EQ(std::get<RecordingFile>(ParseQviBytes(skipped)).key_mode, 1320);
}

TEST(QviFile, DamagedAndForeignFilesAreRefusedWithTheirMessage) {
  const Blob two = EventBytes(TwoEvents());
  Blob short_data(two.begin(), two.end() - 1);
  Blob long_data = two;
  long_data.push_back(0);
  // A whole file cut off inside the fmt chunk.
  Blob truncated_fmt = *BuildQviBytes(TwoEvents(), 1297, false, kDate);
  truncated_fmt.resize(72 + 10);
  Blob truncated_data = Riff("QV  ", {Chunk("fmt ", Fmt(2)), Chunk("data", two)});
  truncated_data.resize(truncated_data.size() - 1);
  // The RIFF size ends the form before its data chunk.
  Blob data_outside = Riff("QV  ", {Chunk("fmt ", Fmt(2))});
  Append(data_outside, Chunk("data", two));
  Blob fmt_in_list = Text("INFO");
  Append(fmt_in_list, Chunk("fmt ", Fmt(2)));
  std::vector<PerformanceEvent> shifted = TwoEvents();
  shifted[1].octave_shift = 2;
  std::vector<PerformanceEvent> lowered = TwoEvents();
  lowered[0].octave_shift = -2;

  struct Case {
    const char* what;
    Blob bytes;
    FileError error;
  };
  const Case cases[] = {
      {"empty", {}, FileError::kNotStandard},
      {"text", Text("just some text, not RIFF at all"), FileError::kNotStandard},
      {"wave", Riff("WAVE", {Chunk("fmt ", Blob(16, 0)), Chunk("data", Blob(8, 0))}),
       FileError::kNotStandard},
      {"no fmt", Riff("QV  ", {Info(), Chunk("data", two)}), FileError::kNotStandard},
      {"fmt only in list", Riff("QV  ", {Chunk("LIST", fmt_in_list), Chunk("data", two)}),
       FileError::kNotStandard},
      {"fmt 23",
       Riff("QV  ", {Chunk("fmt ",
                           [] {
                             Blob f = Fmt(2);
                             f.pop_back();
                             return f;
                           }()),
                     Chunk("data", two)}),
       FileError::kNotSupported},
      {"fmt 25",
       Riff("QV  ", {Chunk("fmt ",
                           [] {
                             Blob f = Fmt(2);
                             f.push_back(0);
                             return f;
                           }()),
                     Chunk("data", two)}),
       FileError::kNotSupported},
      {"fmt truncated", truncated_fmt, FileError::kCannotRead},
      {"count 0", Riff("QV  ", {Chunk("fmt ", Fmt(0)), Chunk("data", {})}),
       FileError::kNotSupported},
      {"no data", Riff("QV  ", {Info(), Chunk("fmt ", Fmt(2))}), FileError::kNotStandard},
      {"data before fmt", Riff("QV  ", {Chunk("data", two), Chunk("fmt ", Fmt(2))}),
       FileError::kNotStandard},
      {"data outside form", data_outside, FileError::kNotStandard},
      {"data one short", Riff("QV  ", {Chunk("fmt ", Fmt(2)), Chunk("data", short_data)}),
       FileError::kNotSupported},
      {"data one long", Riff("QV  ", {Chunk("fmt ", Fmt(2)), Chunk("data", long_data)}),
       FileError::kNotSupported},
      {"count overflows 32 bits",
       Riff("QV  ", {Chunk("fmt ", Fmt(0x10000002)), Chunk("data", two)}),
       FileError::kNotSupported},
      {"data truncated", truncated_data, FileError::kCannotRead},
      {"key mode 0", Riff("QV  ", {Chunk("fmt ", Fmt(2, 0)), Chunk("data", two)}),
       FileError::kNotSupported},
      {"key mode 1306", Riff("QV  ", {Chunk("fmt ", Fmt(2, 1306)), Chunk("data", two)}),
       FileError::kNotSupported},
      {"key mode 1333", Riff("QV  ", {Chunk("fmt ", Fmt(2, 1333)), Chunk("data", two)}),
       FileError::kNotSupported},
      {"shift +2", Riff("QV  ", {Chunk("fmt ", Fmt(2)), Chunk("data", EventBytes(shifted))}),
       FileError::kNotSupported},
      {"shift -2", Riff("QV  ", {Chunk("fmt ", Fmt(2)), Chunk("data", EventBytes(lowered))}),
       FileError::kNotSupported},
  };
  for (const Case& c : cases) {
    const QviReadResult read = ParseQviBytes(c.bytes);
    ASSERT_TRUE(std::holds_alternative<FileError>(read)) << c.what;
    EXPECT_EQ(std::get<FileError>(read), c.error) << c.what;
  }
  // The first failing check decides: count 0 with a missing data chunk is
  // "not supported", not "not standard"; a bad key mode only matters once
  // the rest has been read.
  EXPECT_EQ(std::get<FileError>(ParseQviBytes(Riff("QV  ", {Chunk("fmt ", Fmt(0))}))),
            FileError::kNotSupported);
  EXPECT_EQ(std::get<FileError>(ParseQviBytes(Riff("QV  ", {Chunk("fmt ", Fmt(2, 5))}))),
            FileError::kNotStandard);
}

TEST(QviFile, FilesOnDisk) {
  test::ScratchFolder folder;
  const auto path = folder / "rec.qvi";
  ASSERT_EQ(WriteQviFile(path, TwoEvents(), 1297, false, kDate), std::nullopt);
  EXPECT_EQ(test::ReadAll(path), *BuildQviBytes(TwoEvents(), 1297, false, kDate));
  const QviReadResult read = ReadQviFile(path);
  ASSERT_TRUE(std::holds_alternative<RecordingFile>(read));
  EXPECT_EQ(std::get<RecordingFile>(read).events.size(), 2u);

  // Saving over a longer file leaves exactly the new bytes.
  std::vector<PerformanceEvent> many(50, TwoEvents()[0]);
  ASSERT_EQ(WriteQviFile(path, many, 1297, true, kDate), std::nullopt);
  ASSERT_EQ(WriteQviFile(path, TwoEvents(), 1297, false, kDate), std::nullopt);
  EXPECT_EQ(test::ReadAll(path).size(), 136u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"rec.qvi"});

  EXPECT_EQ(std::get<FileError>(ReadQviFile(folder / "missing.qvi")), FileError::kCannotOpen);
  EXPECT_EQ(std::get<FileError>(ReadQviFile(folder.path())), FileError::kCannotOpen);
  EXPECT_EQ(WriteQviFile(folder / "no/such/folder.qvi", TwoEvents(), 1297, false, kDate),
            FileError::kCannotCreate);
  EXPECT_EQ(WriteQviFile(folder.path(), TwoEvents(), 1297, false, kDate), FileError::kCannotCreate);
}

TEST(QviFile, FailedSaveLeavesTheOldFileAndNoTemporary) {
  test::ScratchFolder folder;
  const auto path = folder / "song.qvi";
  ASSERT_EQ(WriteQviFile(path, TwoEvents(), 1301, true, kDate), std::nullopt);
  const Blob before = test::ReadAll(path);

  // 100000 events are 1.6 MB; the child may write 64 KB per file.
  const int result = test::RunWithFileSizeLimit(64 * 1024, [&] {
    std::vector<PerformanceEvent> big(100000, TwoEvents()[0]);
    const std::optional<FileError> error = WriteQviFile(path, big, 1297, false, kDate);
    return error == FileError::kCannotWrite ? 0 : 1;
  });
  EXPECT_EQ(result, 0) << "the save under the limit did not report kCannotWrite";
  EXPECT_EQ(test::ReadAll(path), before);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"song.qvi"});
}

}  // namespace
}  // namespace tonvale
