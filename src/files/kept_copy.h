// The old bytes of a file about to be rewritten in place, kept on disk
// until its new content is safely there; and, at the next start, the copies
// that a crash, kill or power cut left behind, with the file each belongs to.
//
// Every copy is announced by a note in the state folder, "kept-XXXXXXXX.note",
// locked by its writer for as long as the write runs:
//
//   "tonvale kept copy\n"      18 bytes
//   'C' or 'R', then "\n"     C: the copy is being made, the file untouched;
//                             R: the copy is complete and on the disk, the
//                             file may be half rewritten
//   the file's path, 0, the copy's path, 0   (UTF-8)
//
// The copy itself holds nothing but the old bytes (".tonvale-XXXXXXXX.old"
// beside the file, or in the state folder), so that it can also be put
// back by hand.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "files/file_error.h"
#include "files/file_handle.h"

namespace tonvale {

class KeptCopy {
 public:
  // Copies the `size` bytes of `old` (open for reading; the file at
  // `target`) beside it when `beside` allows and its folder takes a new
  // file, else into `state_folder`, announced there first, and syncs the
  // copy. Nothing when no complete copy could be made; whatever was made is
  // gone again.
  static std::optional<KeptCopy> Make(const std::filesystem::path& target, FileHandle& old,
                                      std::uint64_t size, bool beside,
                                      const std::filesystem::path& state_folder);

  KeptCopy(KeptCopy&&) = default;
  KeptCopy& operator=(KeptCopy&&) = default;
  // Leaves the copy and its note on the disk (as a crash would).
  ~KeptCopy() = default;

  // The new content is on the disk: the copy and its note go.
  void Release();
  // Writes the old bytes back over `file` (the target, opened for writing)
  // and syncs them; then Release. False (the copy kept) when that failed.
  bool PutBack(FileHandle& file);

  const std::filesystem::path& copy_path() const { return copy_.path(); }

 private:
  KeptCopy() = default;

  FileHandle note_;  // locked while the write runs
  FileHandle copy_;
  std::uint64_t size_ = 0;
};

// A complete copy whose writer is gone, as the next start finds it.
struct LeftCopy {
  std::filesystem::path target;  // the file it belongs to
  std::filesystem::path copy;
  FileHandle note;  // locked while it is offered
};

// The complete copies left in `state_folder`, oldest first. Copies that
// never became complete (their file was never touched) and notes whose copy
// is gone are removed on the way, silently.
std::vector<LeftCopy> FindLeftCopies(const std::filesystem::path& state_folder);

// Writes the copy's bytes back into its file (safely), then removes the
// copy and its note. On failure everything stays, to be offered again.
std::optional<FileError> RestoreLeftCopy(LeftCopy& left);

// The copy and its note go; the file stays as it is.
void DiscardLeftCopy(LeftCopy& left);

// The note's bytes, as written while the copy is being made ('C') and once
// it is complete ('R').
std::string KeptNoteBytes(char state, const std::filesystem::path& target,
                          const std::filesystem::path& copy);

}  // namespace tonvale
