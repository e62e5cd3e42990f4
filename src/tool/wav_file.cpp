#include "tool/wav_file.h"

#include <bit>

#include "files/riff.h"

namespace tonvale {

namespace {

constexpr std::uint32_t kChannels = 2;
constexpr std::uint32_t kBytesPerSample = 2;
constexpr std::uint32_t kFrameBytes = kChannels * kBytesPerSample;

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> WavHeader(std::uint64_t frames, std::uint32_t rate) {
  if (frames > kMaxWavFrames) return std::nullopt;
  const auto data_size = static_cast<std::uint32_t>(frames * kFrameBytes);
  std::vector<std::uint8_t> out;
  out.reserve(44);
  const auto append = [&out](const char* text) { out.insert(out.end(), text, text + 4); };
  append("RIFF");
  riff::AppendU32(out, 36 + data_size);
  append("WAVE");
  append("fmt ");
  riff::AppendU32(out, 16);
  AppendU16(out, 1);  // PCM
  AppendU16(out, kChannels);
  riff::AppendU32(out, rate);
  riff::AppendU32(out, rate * kFrameBytes);
  AppendU16(out, kFrameBytes);
  AppendU16(out, kBytesPerSample * 8);
  append("data");
  riff::AppendU32(out, data_size);
  return out;
}

std::optional<FileError> WavWriter::Open(const std::filesystem::path& path, std::uint64_t frames,
                                         std::uint32_t rate) {
  const std::optional<std::vector<std::uint8_t>> header = WavHeader(frames, rate);
  if (!header) return FileError::kCannotWrite;
  if (const std::optional<FileError> error = file_.Open(path)) return error;
  frames_left_ = frames;
  ok_ = file_.Write(*header);
  return std::nullopt;
}

bool WavWriter::Write(std::span<const std::int16_t> samples) {
  const std::uint64_t frames = samples.size() / kChannels;
  if (frames > frames_left_ || samples.size() % kChannels != 0) ok_ = false;
  if (!ok_) return false;
  frames_left_ -= frames;
  if constexpr (std::endian::native == std::endian::little) {
    ok_ =
        file_.Write({reinterpret_cast<const std::uint8_t*>(samples.data()), samples.size_bytes()});
  } else {
    std::vector<std::uint8_t> swapped;
    swapped.reserve(samples.size_bytes());
    for (std::int16_t s : samples) AppendU16(swapped, static_cast<std::uint16_t>(s));
    ok_ = file_.Write(swapped);
  }
  return ok_;
}

std::optional<FileError> WavWriter::Finish() {
  // A file shorter than its header says is not kept.
  if (!ok_ || frames_left_ != 0) {
    file_.Abandon();
    return FileError::kCannotWrite;
  }
  return file_.Finish();
}

}  // namespace tonvale
