// Writing a whole file without ever leaving a damaged one behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "files/file_error.h"
#include "files/file_handle.h"
#include "files/kept_copy.h"

namespace tonvale {

using BytePieces = std::span<const std::span<const std::uint8_t>>;

// Writes a file that replaces `target` only once it is complete.
//
// The bytes go to a new file with a short hidden name of its own in the
// target's folder (".tonvale-XXXXXXXX.tmp", locked while it is written),
// renamed over the target at the end: any name the file system takes can be
// written, and a failure leaves the old file as it was. A symbolic link is
// followed (the link stays, the file it names is written); an existing file
// keeps its mode and owner. Where that cannot hold (the folder takes no new
// file, the owner cannot be kept, or the file has other names) an existing
// file is rewritten in place, but only once a complete copy of its old
// bytes is on the disk (KeptCopy): a failed write puts them back, and a
// crash mid-write leaves them to be offered back at the next start.
//
// A target that cannot be opened for writing is refused before anything is
// touched, and so is anything but a regular file (a named pipe or a device
// would block or swallow the bytes). A file or folder without any write
// permission was made read-only on purpose and counts as not writable for
// every user, root too. Hidden temporary files that an earlier run left in
// the folder are removed on the way, once no running write holds them.
class SafeWriter {
 public:
  SafeWriter() = default;
  SafeWriter(const SafeWriter&) = delete;
  SafeWriter& operator=(const SafeWriter&) = delete;
  // An unfinished write is abandoned: the target stays as it was.
  ~SafeWriter();

  // kCannotCreate: `target` cannot be written (no folder, no right, a
  // folder, a read-only file, no regular file, no copy of its old bytes
  // where it must be rewritten in place).
  std::optional<FileError> Open(const std::filesystem::path& target);
  // Appends; false once anything failed (or writes were interrupted), and
  // later writes do nothing.
  bool Write(std::span<const std::uint8_t> bytes);
  // Flushes to the disk and puts the file in place; kCannotWrite when
  // anything failed since Open, the target then being as it was.
  std::optional<FileError> Finish();
  // Gives up: the target stays as it was.
  void Abandon();

 private:
  std::filesystem::path target_;  // links followed
  FileHandle file_;               // the temporary file, or the target when in place
  std::optional<KeptCopy> kept_;  // in place: the old bytes
  std::uint64_t written_ = 0;
  bool ok_ = true;
};

// Removes the hidden temporary files (".tonvale-XXXXXXXX.tmp") in `folder`
// that no running write holds and that were last written a minute ago or
// more.
void SweepLeftTemporaries(const std::filesystem::path& folder);

// For a program ended by a signal (Ctrl-C, SIGTERM) in the middle of a
// write; both are safe inside a signal handler. The first removes the
// temporary file being written, if any, at once; the second makes every
// write from now on fail, so that the writer cleans up (an in-place write
// puts the old bytes back) and the program can end.
void RemoveTemporaryNow() noexcept;
void InterruptWrites() noexcept;
bool WritesInterrupted() noexcept;

// Open, the pieces one after the other, Finish.
std::optional<FileError> WriteFileSafely(const std::filesystem::path& target, BytePieces pieces);

std::optional<FileError> WriteFileSafely(const std::filesystem::path& target,
                                         std::span<const std::uint8_t> bytes);

// A path from UTF-8 text, the encoding every name is kept in.
std::filesystem::path PathFromUtf8(std::string_view text);

}  // namespace tonvale
