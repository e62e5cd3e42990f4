#include "tool/wav_file.h"

#include <bit>
#include <limits>

#include "files/riff.h"
#include "files/safe_write.h"
#include "tool/render_plan.h"

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

std::optional<std::vector<std::uint8_t>> WavHeader(std::uint64_t frames) {
  const std::uint64_t data_size = frames * kFrameBytes;
  if (data_size > std::numeric_limits<std::uint32_t>::max() - 36) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(44);
  const auto append = [&out](const char* text) { out.insert(out.end(), text, text + 4); };
  append("RIFF");
  riff::AppendU32(out, static_cast<std::uint32_t>(36 + data_size));
  append("WAVE");
  append("fmt ");
  riff::AppendU32(out, 16);
  AppendU16(out, 1);  // PCM
  AppendU16(out, kChannels);
  riff::AppendU32(out, kRenderRate);
  riff::AppendU32(out, kRenderRate * kFrameBytes);
  AppendU16(out, kFrameBytes);
  AppendU16(out, kBytesPerSample * 8);
  append("data");
  riff::AppendU32(out, static_cast<std::uint32_t>(data_size));
  return out;
}

std::optional<FileError> WriteWavFile(const std::filesystem::path& path,
                                      std::span<const std::int16_t> samples) {
  const std::optional<std::vector<std::uint8_t>> header = WavHeader(samples.size() / kChannels);
  if (!header) return FileError::kCannotWrite;
  std::vector<std::uint8_t> swapped;
  std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(samples.data()),
                                     samples.size() * kBytesPerSample);
  if constexpr (std::endian::native != std::endian::little) {
    swapped.reserve(data.size());
    for (std::int16_t s : samples) AppendU16(swapped, static_cast<std::uint16_t>(s));
    data = swapped;
  }
  const std::span<const std::uint8_t> pieces[] = {*header, data};
  return WriteFileSafely(path, BytePieces(pieces));
}

}  // namespace tonvale
