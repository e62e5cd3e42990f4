// An open file of the system, closed with its object: positioned reads and
// writes, syncing, and an advisory lock that tells other processes whether
// the file's owner still runs. The system drops the lock when its holder
// ends, however it ends (SIGKILL and power cuts included), so a file whose
// lock can be taken was left behind by a run that is over.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tonvale {

class FileHandle {
 public:
  enum class Access { kRead, kWrite, kReadWrite };

  FileHandle() = default;
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }

  // An existing file, without ever waiting: a named pipe or a device opens
  // at once (and IsRegular then says what it is). A symbolic link at the
  // end of `path` is followed.
  static FileHandle Open(const std::filesystem::path& path, Access access);
  // A new file that must not exist yet, for reading and writing.
  static FileHandle Create(const std::filesystem::path& path, unsigned mode = 0666);
  // A new file with a short hidden name of its own in `folder`:
  // ".tonvale-" eight hexadecimal digits and `suffix`. Locked at once.
  static FileHandle CreateHidden(const std::filesystem::path& folder, std::string_view suffix,
                                 unsigned mode = 0666);

  bool ok() const { return fd_ >= 0; }
  explicit operator bool() const { return ok(); }
  // The name it was opened or created by, or renamed to.
  const std::filesystem::path& path() const { return path_; }

  // The exclusive lock, without waiting: false when another open file
  // holds it (its owner still runs).
  bool TryLock();

  bool IsRegular() const;
  std::optional<std::uint64_t> Size() const;
  // Whether the file has other (hard) names than the one it was opened by.
  bool HasOtherNames() const;
  // Gives this file the owner, group and mode of `model`; false when the
  // owner or group cannot be given.
  bool TakeOwnerAndModeOf(const FileHandle& model);

  // All of `bytes` at `offset`; false on any failure.
  bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
  // Up to into.size() bytes from `offset`: how many were read (fewer only
  // at the end of the file or on failure).
  std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> into);
  bool Truncate(std::uint64_t size);
  // The content (and the size) on the disk.
  bool Sync();
  // Renames the file (same file system); the handle keeps it, lock and all.
  bool RenameTo(const std::filesystem::path& to);
  // Removes the file's name; the file stays open (and locked) until closed.
  bool Remove();
  // False when the system reported an error (a write that did not reach
  // the disk); closing twice is harmless.
  bool Close();

 private:
  FileHandle(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}

  int fd_ = -1;
  std::filesystem::path path_;
};

// So that a name just created, renamed or removed in `folder` survives a
// power cut; a folder that cannot be synced is no reason to give up.
void SyncFolder(const std::filesystem::path& folder);

// The folder a path's file lies in ("." for a bare name).
std::filesystem::path FolderOf(const std::filesystem::path& path);

// Eight random hexadecimal digits, for names that must not meet.
std::string RandomTag();

}  // namespace tonvale
