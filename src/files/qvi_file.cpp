#include "files/qvi_file.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <limits>
#include <new>
#include <type_traits>

#include "files/safe_write.h"
#include "perform/key_table.h"

namespace tonvale {

namespace {

using riff::MakeFourCC;

constexpr riff::FourCC kForm = MakeFourCC("QV  ");
constexpr char kSoftware[] = "QV by Dalo";
constexpr std::uint32_t kFmtSize = 24;
// Events lie in memory exactly as in the file on a little-endian host, so
// they can be copied in one piece there.
constexpr bool kEventsAsStored = std::endian::native == std::endian::little &&
                                 sizeof(PerformanceEvent) == kEventBytes &&
                                 std::is_trivially_copyable_v<PerformanceEvent>;

void EncodeEvents(std::span<const PerformanceEvent> events, std::uint8_t* out) {
  if constexpr (kEventsAsStored) {
    if (!events.empty()) std::memcpy(out, events.data(), events.size() * kEventBytes);
  } else {
    for (const PerformanceEvent& e : events) {
      EncodeEvent(e, std::span<std::uint8_t, kEventBytes>(out, kEventBytes));
      out += kEventBytes;
    }
  }
}

void AppendText(riff::Writer& writer, riff::FourCC id, const std::string& text) {
  writer.BeginChunk(id);
  // The text with its terminating zero byte.
  writer.Append({reinterpret_cast<const std::uint8_t*>(text.c_str()), text.size() + 1});
  writer.EndChunk();
}

class FileSource : public riff::Source {
 public:
  FileSource(std::ifstream& in, std::uint64_t size) : in_(in), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, void* into, std::size_t count) override {
    if (offset >= size_) return 0;
    in_.clear();
    if (!in_.seekg(static_cast<std::streamoff>(offset))) return 0;
    in_.read(static_cast<char*>(into), static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(in_.gcount());
  }

 private:
  std::ifstream& in_;
  std::uint64_t size_;
};

}  // namespace

FileDate LocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string FormatFileDate(FileDate date) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

std::optional<std::vector<std::uint8_t>> BuildQviHeader(std::size_t count, std::int32_t key_mode,
                                                        bool auto_bass, FileDate date) {
  constexpr std::uint64_t kLimit = std::numeric_limits<std::uint32_t>::max() - 200;
  if (count > kLimit / kEventBytes) return std::nullopt;

  std::vector<std::uint8_t> bytes;
  riff::Writer writer(bytes);
  writer.BeginList(MakeFourCC("RIFF"), kForm);

  writer.BeginList(MakeFourCC("LIST"), MakeFourCC("INFO"));
  AppendText(writer, MakeFourCC("ISFT"), kSoftware);
  AppendText(writer, MakeFourCC("ISCD"), FormatFileDate(date));
  writer.EndChunk();

  writer.BeginChunk(MakeFourCC("fmt "));
  writer.AppendU32(static_cast<std::uint32_t>(count));
  writer.AppendU32(static_cast<std::uint32_t>(key_mode));
  writer.AppendU32(auto_bass ? 1 : 0);
  for (int i = 0; i < 3; ++i) writer.AppendU32(0);
  writer.EndChunk();

  writer.BeginChunk(MakeFourCC("data"));
  writer.AppendOutside(std::uint64_t{count} * kEventBytes);
  writer.EndChunk();
  writer.EndChunk();
  if (!writer.ok()) return std::nullopt;
  return bytes;
}

std::optional<std::vector<std::uint8_t>> BuildQviBytes(std::span<const PerformanceEvent> events,
                                                       std::int32_t key_mode, bool auto_bass,
                                                       FileDate date) {
  std::optional<std::vector<std::uint8_t>> bytes =
      BuildQviHeader(events.size(), key_mode, auto_bass, date);
  if (!bytes) return std::nullopt;
  const std::size_t at = bytes->size();
  bytes->resize(at + events.size() * kEventBytes);
  EncodeEvents(events, bytes->data() + at);
  return bytes;
}

QviReadResult ParseQvi(riff::Source& source) {
  const std::optional<riff::Chunk> form = riff::FindForm(source, kForm);
  if (!form) return FileError::kNotStandard;

  const std::optional<riff::Chunk> fmt =
      riff::FindChunk(source, *form, form->FirstChild(), MakeFourCC("fmt "));
  if (!fmt) return FileError::kNotStandard;
  if (fmt->size != kFmtSize) return FileError::kNotSupported;
  std::uint8_t format[kFmtSize];
  if (source.ReadAt(fmt->DataBegin(), format, kFmtSize) != kFmtSize) return FileError::kCannotRead;
  const std::uint32_t count = riff::LoadU32(format);
  if (count == 0) return FileError::kNotSupported;

  const std::optional<riff::Chunk> data =
      riff::FindChunk(source, *form, fmt->Next(), MakeFourCC("data"));
  if (!data) return FileError::kNotStandard;
  const std::uint64_t data_size = std::uint64_t{count} * kEventBytes;
  if (data->size != data_size) return FileError::kNotSupported;
  // A data chunk cut short by the end of the file cannot be read in full:
  // say so before asking for memory it could never fill.
  if (data->DataEnd() > source.Size()) return FileError::kCannotRead;

  RecordingFile file;
  file.key_mode = static_cast<std::int32_t>(riff::LoadU32(format + 4));
  file.auto_bass = riff::LoadU32(format + 8);
  try {
    file.events.resize(count);
    if constexpr (kEventsAsStored) {
      if (source.ReadAt(data->DataBegin(), file.events.data(), data_size) != data_size) {
        return FileError::kCannotRead;
      }
    } else {
      std::vector<std::uint8_t> raw(data_size);
      if (source.ReadAt(data->DataBegin(), raw.data(), data_size) != data_size) {
        return FileError::kCannotRead;
      }
      for (std::size_t i = 0; i < file.events.size(); ++i) {
        file.events[i] = DecodeEvent(
            std::span<const std::uint8_t, kEventBytes>(raw.data() + i * kEventBytes, kEventBytes));
      }
    }
  } catch (const std::bad_alloc&) {
    return FileError::kCannotRead;
  }

  // Only what this program can play is taken: a file from elsewhere with a
  // key mode or an octave shift it never writes would play wrong notes.
  if (!TonicOffset(file.key_mode)) return FileError::kNotSupported;
  for (const PerformanceEvent& e : file.events) {
    if (e.octave_shift < -1 || e.octave_shift > 1) return FileError::kNotSupported;
  }
  return file;
}

QviReadResult ParseQviBytes(std::span<const std::uint8_t> bytes) {
  riff::SpanSource source(bytes);
  return ParseQvi(source);
}

QviReadResult ReadQviFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return FileError::kCannotOpen;
  std::ifstream in(path, std::ios::binary);
  if (!in) return FileError::kCannotOpen;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return FileError::kCannotOpen;
  FileSource source(in, size);
  return ParseQvi(source);
}

std::optional<FileError> WriteQviFile(const std::filesystem::path& path,
                                      std::span<const PerformanceEvent> events,
                                      std::int32_t key_mode, bool auto_bass, FileDate date) {
  try {
    if constexpr (kEventsAsStored) {
      // The events go to the file straight from the list.
      const std::optional<std::vector<std::uint8_t>> header =
          BuildQviHeader(events.size(), key_mode, auto_bass, date);
      if (!header) return FileError::kCannotWrite;
      const std::span<const std::uint8_t> pieces[] = {
          *header, {reinterpret_cast<const std::uint8_t*>(events.data()), events.size_bytes()}};
      return WriteFileSafely(path, BytePieces(pieces));
    } else {
      const std::optional<std::vector<std::uint8_t>> bytes =
          BuildQviBytes(events, key_mode, auto_bass, date);
      if (!bytes) return FileError::kCannotWrite;
      return WriteFileSafely(path, *bytes);
    }
  } catch (const std::bad_alloc&) {
    return FileError::kCannotWrite;
  }
}

}  // namespace tonvale
