// Writing a whole file without ever leaving a damaged one behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "files/file_error.h"

namespace tonvale {

using BytePieces = std::span<const std::span<const std::uint8_t>>;

// Writes `pieces`, one after the other, to a new temporary file in the
// target's folder, flushes it to the disk and renames it over `target`.
// kCannotCreate: the temporary file could not be made (no folder, no right,
// or `target` is a folder); kCannotWrite: anything after that failed. On any
// failure the temporary file is removed and `target` is left as it was.
std::optional<FileError> WriteFileSafely(const std::filesystem::path& target, BytePieces pieces);

std::optional<FileError> WriteFileSafely(const std::filesystem::path& target,
                                         std::span<const std::uint8_t> bytes);

// A path from UTF-8 text, the encoding every name is kept in.
std::filesystem::path PathFromUtf8(std::string_view text);

}  // namespace tonvale
