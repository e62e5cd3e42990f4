// 16-bit stereo PCM WAV files at the rendering rate.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "files/file_error.h"

namespace tonvale {

// The 44-byte header of a WAV file holding `frames` stereo frames; nothing
// when they would not fit a 32-bit RIFF size.
std::optional<std::vector<std::uint8_t>> WavHeader(std::uint64_t frames);

// Header and samples (interleaved, little-endian on disk), written safely.
std::optional<FileError> WriteWavFile(const std::filesystem::path& path,
                                      std::span<const std::int16_t> samples);

}  // namespace tonvale
