// 16-bit stereo PCM WAV files, written as the sound is rendered.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "files/file_error.h"
#include "files/safe_write.h"

namespace tonvale {

// The most frames whose WAV file stays within the 32-bit RIFF size (4 GiB),
// about 6 h 45 min.
inline constexpr std::uint64_t kMaxWavFrames = (std::uint64_t{0xFFFFFFFF} - 36) / 4;

// The 44-byte header of a WAV file holding `frames` stereo frames at `rate`
// frames per second; nothing beyond kMaxWavFrames.
std::optional<std::vector<std::uint8_t>> WavHeader(std::uint64_t frames, std::uint32_t rate);

class WavWriter {
 public:
  // Opens `path` (safely) for exactly `frames` frames at `rate`;
  // kCannotWrite, with nothing created, when they would not fit.
  std::optional<FileError> Open(const std::filesystem::path& path, std::uint64_t frames,
                                std::uint32_t rate);
  // Interleaved samples, left then right; false once anything failed.
  bool Write(std::span<const std::int16_t> samples);
  // kCannotWrite when anything failed or the frames written are not those
  // announced; the target then stays as it was.
  std::optional<FileError> Finish();

 private:
  SafeWriter file_;
  std::uint64_t frames_left_ = 0;
  bool ok_ = true;
};

}  // namespace tonvale
