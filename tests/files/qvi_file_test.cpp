#include "files/qvi_file.h"

#include <gtest/gtest.h>

#include "files_fixture.h"

namespace tonvale {
namespace {

const std::string kTwo = test::Str(*BuildQviBytes(test::kTwoEvents, 1297, false, test::kDate));

TEST(QviFile, TwoEventRecordingByteForByte) {
  EXPECT_EQ(
      kTwo,
      "RIFF\x80\0\0\0QV  LIST\x2C\0\0\0INFOISFT\x0B\0\0\0QV by Dalo\0\0ISCD\x0B\0\0\0"
      "2024-03-09\0\0fmt \x18\0\0\0\2\0\0\0\x11\5\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0data"
      "\x20\0\0\0\xB0\4\0\0\0\1\0\0\1\0\x1E\0\0\0\0\0\x2C\1\0\0\1\1\0\0\1\0\x1E\xC0\0\0\0\0"sv);
  // Automatic bass is stored as 1, the year with four digits.
  std::string other = kTwo;
  other.replace(52, 10, "0987-12-31");
  other[76] = 0x34, other[80] = 1;
  EXPECT_EQ(test::Str(*BuildQviBytes(test::kTwoEvents, 1332, true, {987, 12, 31})), other);
}

TEST(QviFile, TheReaderStopsAtTheFirstCheckThatFails) {
  // The two-event file with `bytes` written at `at`, cut to `size` bytes.
  const auto patched = [](std::size_t at, std::string_view bytes, std::size_t size = 136) {
    return (kTwo.substr(0, at) + std::string(bytes) + kTwo.substr(at + bytes.size()))
        .substr(0, size);
  };
  const struct {
    const char* what;
    std::string file;
    std::optional<FileError> error;  // none: read
  } cases[] = {
      {"an odd-sized chunk skipped", patched(12, "junk\x2B"), {}},
      {"a WAVE form first", "RIFF\4\0\0\0WAVE"s + kTwo, {}},
      {"empty", "", FileError::kNotStandard},
      {"a WAVE form", patched(8, "WAVE"), FileError::kNotStandard},
      {"no fmt", patched(64, "fmtx"), FileError::kNotStandard},
      {"fmt inside the list", patched(16, "\x4C"), FileError::kNotStandard},
      {"fmt of 23", patched(68, "\x17"), FileError::kNotSupported},
      {"fmt of 25", patched(68, "\x19"), FileError::kNotSupported},
      {"fmt cut short", patched(0, "", 82), FileError::kCannotRead},
      {"count 0", patched(72, "\0"sv), FileError::kNotSupported},
      {"no data", patched(96, "datx"), FileError::kNotStandard},
      {"data outside the form", patched(4, "\x58"), FileError::kNotStandard},
      {"data one short", patched(100, "\x1F"), FileError::kNotSupported},
      {"data one long", patched(100, "\x21"), FileError::kNotSupported},
      {"16 x count wraps 32 bits", patched(72, "\2\0\0\x10"sv), FileError::kNotSupported},
      {"data cut short", patched(0, "", 135), FileError::kCannotRead},
      {"key mode 1306", patched(76, "\x1A"), FileError::kNotSupported},
      {"key mode 1333", patched(76, "\x35"), FileError::kNotSupported},
      {"octave shift 2", patched(116, "\2"), FileError::kNotSupported},
  };
  for (const auto& c : cases) {
    const QviReadResult read = ParseQviBytes({(const std::uint8_t*)c.file.data(), c.file.size()});
    const FileError* error = std::get_if<FileError>(&read);
    EXPECT_EQ(error ? std::optional(*error) : std::nullopt, c.error) << c.what;
    EXPECT_TRUE(error || std::get<RecordingFile>(read).events == test::kTwoEvents) << c.what;
  }
}

}  // namespace
}  // namespace tonvale
