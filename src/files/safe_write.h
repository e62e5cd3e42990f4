// Writing a whole file without ever leaving a damaged one behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "files/file_error.h"

namespace tonvale {

using BytePieces = std::span<const std::span<const std::uint8_t>>;

// Writes a file that replaces `target` only once it is complete.
//
// The bytes go to a new file with a short name of its own in the target's
// folder, renamed over the target at the end: any name the file system takes
// can be written, and a failure leaves the old file as it was. A symbolic
// link is followed (the link stays, the file it names is written); an
// existing file keeps its mode and owner. Where that cannot hold (the folder
// takes no new file, the owner cannot be kept, the file has other names, or
// it is no regular file) an existing file is written in place, its old bytes
// kept aside and put back if the write fails.
//
// A target that cannot be opened for writing is refused before anything is
// touched. A file or folder without any write permission was made read-only
// on purpose and counts as not writable for every user, root too.
class SafeWriter {
 public:
  SafeWriter() = default;
  SafeWriter(const SafeWriter&) = delete;
  SafeWriter& operator=(const SafeWriter&) = delete;
  // An unfinished write is abandoned: the target stays as it was.
  ~SafeWriter();

  // kCannotCreate: `target` cannot be written (no folder, no right, a
  // folder, a read-only file).
  std::optional<FileError> Open(const std::filesystem::path& target);
  // Appends; false once anything failed, and later writes do nothing.
  bool Write(std::span<const std::uint8_t> bytes);
  // Flushes to the disk and puts the file in place; kCannotWrite when
  // anything failed since Open, the target then being as it was.
  std::optional<FileError> Finish();
  // Gives up: the target stays as it was.
  void Abandon();

 private:
  void PutBack();

  std::filesystem::path target_;  // links followed
  std::filesystem::path temp_;    // empty when writing in place
  int fd_ = -1;
  bool ok_ = true;
  bool sync_ = true;                                    // a regular file
  std::optional<std::vector<std::uint8_t>> old_bytes_;  // in place: put back on failure
};

// Open, the pieces one after the other, Finish.
std::optional<FileError> WriteFileSafely(const std::filesystem::path& target, BytePieces pieces);

std::optional<FileError> WriteFileSafely(const std::filesystem::path& target,
                                         std::span<const std::uint8_t> bytes);

// A path from UTF-8 text, the encoding every name is kept in.
std::filesystem::path PathFromUtf8(std::string_view text);

}  // namespace tonvale
