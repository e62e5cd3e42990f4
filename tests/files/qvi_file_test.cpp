#include "files/qvi_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "files/riff.h"
#include "files_fixture.h"

namespace tonvale {
namespace {

using test::Append;
using test::Blob;
using test::kDate;
using test::Text;
using test::TwoEvents;

Blob Chunk(const char* id, const Blob& data) {
  Blob out = Text(id);
  riff::AppendU32(out, std::uint32_t(data.size()));
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
  for (std::uint32_t v : {count, mode, bass, 0u, 0u, 0u}) riff::AppendU32(out, v);
  return out;
}
Blob Resized(Blob b, std::size_t n) {
  b.resize(n);
  return b;
}
Blob EventBytes(const std::vector<PerformanceEvent>& events) {
  Blob out;
  for (const PerformanceEvent& e : events)
    for (std::uint32_t v :
         {e.delta_ms, std::uint32_t(e.message), e.key_data, std::uint32_t(e.octave_shift)})
      riff::AppendU32(out, v);
  return out;
}
// A form "QV  " with a "fmt " and a "data" chunk.
Blob Qv(const Blob& fmt, const Blob& data) {
  return Riff("QV  ", {Chunk("fmt ", fmt), Chunk("data", data)});
}
// An information list holding one padded one-byte chunk.
Blob Info() {
  static const char kList[] = "INFOISFT\1\0\0\0Q";
  return Chunk("LIST", Blob(kList, kList + sizeof kList));
}

TEST(QviFile, TwoEventRecordingByteForByte) {
  static const char kExpected[] =
      "RIFF\x80\0\0\0QV  "
      "LIST\x2C\0\0\0INFO"
      "ISFT\x0B\0\0\0QV by Dalo\0\0"
      "ISCD\x0B\0\0\0"
      "2024-03-09\0\0"
      "fmt \x18\0\0\0\x02\0\0\0\x11\x05\0\0\0\0\0\0"
      "\0\0\0\0\0\0\0\0\0\0\0\0"
      "data\x20\0\0\0"
      "\xB0\x04\0\0\0\x01\0\0\x01\0\x1E\0\0\0\0\0"
      "\x2C\x01\0\0\x01\x01\0\0\x01\0\x1E\xC0\0\0\0\0";
  const Blob expected(kExpected, kExpected + sizeof kExpected - 1);
  ASSERT_EQ(expected.size(), 136u);
  EXPECT_EQ(BuildQviBytes(TwoEvents(), 1297, false, kDate), expected);
}

TEST(QviFile, SizesFlagsDateRoundTripDiskAndAFailedSave) {
  test::ScratchFolder folder;
  const auto path = folder / "rec.qvi";
  test::WriteAll(path, Blob(5000, 1));  // saved over: exactly the new bytes stay
  for (std::size_t n : {1u, 1000u}) {
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

    // The file on disk is the same bytes, and reads back as written.
    ASSERT_EQ(WriteQviFile(path, events, 1332, true, {987, 12, 31}), std::nullopt);
    EXPECT_EQ(test::ReadAll(path), bytes);
    const QviReadResult read = ReadQviFile(path);
    ASSERT_TRUE(std::holds_alternative<RecordingFile>(read));
    const RecordingFile& file = std::get<RecordingFile>(read);
    EXPECT_EQ(file.key_mode, 1332);
    EXPECT_EQ(file.auto_bass, 1u);
    EXPECT_EQ(file.events, events);
  }
  // A save that fails under a real size limit (1.6 MB against 64 KB) keeps
  // the old file byte for byte and leaves no temporary.
  const Blob before = test::ReadAll(path);
  const int result = test::RunWithFileSizeLimit(64 * 1024, [&] {
    std::vector<PerformanceEvent> big(100000, TwoEvents()[0]);
    return WriteQviFile(path, big, 1297, false, kDate) == FileError::kCannotWrite ? 0 : 1;
  });
  EXPECT_EQ(result, 0) << "the save under the limit did not report kCannotWrite";
  EXPECT_EQ(test::ReadAll(path), before);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"rec.qvi"});
  EXPECT_EQ(std::get<FileError>(ReadQviFile(folder / "missing.qvi")), FileError::kCannotOpen);
  EXPECT_EQ(std::get<FileError>(ReadQviFile(folder.path())), FileError::kCannotOpen);
  EXPECT_EQ(WriteQviFile(folder / "no/such/folder.qvi", TwoEvents(), 1297, false, kDate),
            FileError::kCannotCreate);
  EXPECT_EQ(WriteQviFile(folder.path(), TwoEvents(), 1297, false, kDate), FileError::kCannotCreate);
}

TEST(QviFile, ReaderTakesForeignButSoundFiles) {
  const Blob events = EventBytes(TwoEvents());
  // Stored automatic bass other than 0 or 1 is handed back as it is.
  const Blob odd_bass = Qv(Fmt(2, 1297, 7), events);
  // An odd-sized unknown chunk between fmt and data, data before fmt in a
  // list that is skipped, a trailing chunk.
  const Blob skipped =
      Riff("QV  ", {Chunk("LIST", Resized(Text("INFOdata\5"), 18)), Chunk("fmt ", Fmt(2, 1320)),
                    Chunk("junk", Blob(3, 9)), Chunk("data", events), Chunk("tail", Blob(1, 1))});
  // A WAVE form first, the recording in a second RIFF chunk.
  Blob two_forms = Riff("WAVE", {Chunk("fmt ", Blob(16, 0))});
  Append(two_forms, Riff("QV  ", {Info(), Chunk("fmt ", Fmt(2)), Chunk("data", events)}));

  for (const Blob& file : {odd_bass, skipped, two_forms}) {
    const QviReadResult read = ParseQviBytes(file);
    ASSERT_TRUE(std::holds_alternative<RecordingFile>(read));
    EXPECT_EQ(std::get<RecordingFile>(read).events, TwoEvents());
  }
  EXPECT_EQ(std::get<RecordingFile>(ParseQviBytes(odd_bass)).auto_bass, 7u);
  EXPECT_EQ(std::get<RecordingFile>(ParseQviBytes(skipped)).key_mode, 1320);
}

TEST(QviFile, DamagedAndForeignFilesAreRefusedWithTheirMessage) {
  const Blob two = EventBytes(TwoEvents());
  // The RIFF size ends the form before its data chunk.
  Blob data_outside = Riff("QV  ", {Chunk("fmt ", Fmt(2))});
  Append(data_outside, Chunk("data", two));
  Blob fmt_in_list = Text("INFO");
  Append(fmt_in_list, Chunk("fmt ", Fmt(2)));
  std::vector<PerformanceEvent> raised = TwoEvents(), lowered = TwoEvents();
  raised[1].octave_shift = 2;
  lowered[0].octave_shift = -2;

  const struct {
    const char* what;
    Blob bytes;
    FileError error;
  } cases[] = {
      {"empty", {}, FileError::kNotStandard},
      {"text", Text("just some text, not RIFF at all"), FileError::kNotStandard},
      {"wave", Riff("WAVE", {Chunk("fmt ", Blob(16, 0)), Chunk("data", Blob(8, 0))}),
       FileError::kNotStandard},
      {"no fmt", Riff("QV  ", {Info(), Chunk("data", two)}), FileError::kNotStandard},
      {"fmt only in list", Riff("QV  ", {Chunk("LIST", fmt_in_list), Chunk("data", two)}),
       FileError::kNotStandard},
      {"fmt 23", Qv(Resized(Fmt(2), 23), two), FileError::kNotSupported},
      {"fmt 25", Qv(Resized(Fmt(2), 25), two), FileError::kNotSupported},
      {"fmt truncated", Resized(*BuildQviBytes(TwoEvents(), 1297, false, kDate), 82),
       FileError::kCannotRead},
      {"count 0", Qv(Fmt(0), {}), FileError::kNotSupported},
      {"no data", Riff("QV  ", {Info(), Chunk("fmt ", Fmt(2))}), FileError::kNotStandard},
      {"data before fmt", Riff("QV  ", {Chunk("data", two), Chunk("fmt ", Fmt(2))}),
       FileError::kNotStandard},
      {"data outside form", data_outside, FileError::kNotStandard},
      {"data one short", Qv(Fmt(2), Resized(two, 31)), FileError::kNotSupported},
      {"data one long", Qv(Fmt(2), Resized(two, 33)), FileError::kNotSupported},
      {"count overflows 32 bits", Qv(Fmt(0x10000002), two), FileError::kNotSupported},
      {"data truncated", Resized(Qv(Fmt(2), two), 83), FileError::kCannotRead},
      {"key mode 0", Qv(Fmt(2, 0), two), FileError::kNotSupported},
      {"key mode 1306", Qv(Fmt(2, 1306), two), FileError::kNotSupported},
      {"key mode 1333", Qv(Fmt(2, 1333), two), FileError::kNotSupported},
      {"shift +2", Qv(Fmt(2), EventBytes(raised)), FileError::kNotSupported},
      {"shift -2", Qv(Fmt(2), EventBytes(lowered)), FileError::kNotSupported},
  };
  for (const auto& c : cases) {
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

}  // namespace
}  // namespace tonvale
