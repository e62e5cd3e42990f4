#include "files/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tonvale {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
int OpenFd(const fs::path& path, int flags, unsigned mode) {
  int fd = -1;
  _wsopen_s(&fd, path.c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
            static_cast<int>(mode) & (_S_IREAD | _S_IWRITE));
  return fd;
}
int AccessFlags(FileHandle::Access access) {
  switch (access) {
    case FileHandle::Access::kRead:
      return _O_RDONLY;
    case FileHandle::Access::kWrite:
      return _O_WRONLY;
    case FileHandle::Access::kReadWrite:
      break;
  }
  return _O_RDWR;
}
constexpr int kCreateFlags = _O_RDWR | _O_CREAT | _O_EXCL;
#else
int OpenFd(const fs::path& path, int flags, unsigned mode) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, static_cast<mode_t>(mode));
  } while (fd < 0 && errno == EINTR);
  return fd;
}
int AccessFlags(FileHandle::Access access) {
  // Never waits for the other end of a named pipe; regular files do not
  // care about O_NONBLOCK.
  switch (access) {
    case FileHandle::Access::kRead:
      return O_RDONLY | O_NONBLOCK;
    case FileHandle::Access::kWrite:
      return O_WRONLY | O_NONBLOCK;
    case FileHandle::Access::kReadWrite:
      break;
  }
  return O_RDWR | O_NONBLOCK;
}
constexpr int kCreateFlags = O_RDWR | O_CREAT | O_EXCL;
#endif

}  // namespace

FileHandle::FileHandle(FileHandle&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

FileHandle FileHandle::Open(const fs::path& path, Access access) {
  const int fd = OpenFd(path, AccessFlags(access), 0);
  return fd < 0 ? FileHandle() : FileHandle(fd, path);
}

FileHandle FileHandle::Create(const fs::path& path, unsigned mode) {
  const int fd = OpenFd(path, kCreateFlags, mode);
  return fd < 0 ? FileHandle() : FileHandle(fd, path);
}

FileHandle FileHandle::CreateHidden(const fs::path& folder, std::string_view suffix,
                                    unsigned mode) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    const fs::path path = folder / (".tonvale-" + RandomTag() + std::string(suffix));
    FileHandle file = Create(path, mode);
    if (file) {
      file.TryLock();
      return file;
    }
    if (errno != EEXIST) break;
  }
  return {};
}

std::string RandomTag() {
  // Drawn afresh each time: an engine kept between calls would give a
  // forked process the very names its parent makes next.
  std::random_device random;
  char tag[9];
  std::snprintf(tag, sizeof tag, "%08x", static_cast<unsigned>(random()));
  return tag;
}

fs::path FolderOf(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

#ifdef _WIN32

bool FileHandle::TryLock() {
  OVERLAPPED at{};
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd_));
  return handle != INVALID_HANDLE_VALUE &&
         LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}
bool FileHandle::IsRegular() const {
  struct _stat64 st {};
  return _fstat64(fd_, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
}
std::optional<std::uint64_t> FileHandle::Size() const {
  struct _stat64 st {};
  if (_fstat64(fd_, &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}
// Nothing a rename would lose: no owner to keep, no other names.
bool FileHandle::HasOtherNames() const {
  return false;
}
bool FileHandle::TakeOwnerAndModeOf(const FileHandle&) {
  return true;
}
bool FileHandle::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  if (_lseeki64(fd_, static_cast<__int64>(offset), SEEK_SET) < 0) return false;
  for (std::size_t done = 0; done < bytes.size();) {
    const std::size_t left = bytes.size() - done;
    const unsigned chunk = left > (1u << 30) ? (1u << 30) : static_cast<unsigned>(left);
    const int n = _write(fd_, bytes.data() + done, chunk);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}
std::size_t FileHandle::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
  if (_lseeki64(fd_, static_cast<__int64>(offset), SEEK_SET) < 0) return 0;
  std::size_t done = 0;
  while (done < into.size()) {
    const std::size_t left = into.size() - done;
    const unsigned chunk = left > (1u << 30) ? (1u << 30) : static_cast<unsigned>(left);
    const int n = _read(fd_, into.data() + done, chunk);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}
bool FileHandle::Truncate(std::uint64_t size) {
  return _chsize_s(fd_, static_cast<__int64>(size)) == 0;
}
bool FileHandle::Sync() {
  return _commit(fd_) == 0;
}
bool FileHandle::Close() {
  if (fd_ < 0) return true;
  return _close(std::exchange(fd_, -1)) == 0;
}
void SyncFolder(const fs::path&) {}

#else

bool FileHandle::TryLock() {
  int result;
  do {
    result = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}
bool FileHandle::IsRegular() const {
  struct stat st {};
  return ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
}
std::optional<std::uint64_t> FileHandle::Size() const {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}
bool FileHandle::HasOtherNames() const {
  struct stat st {};
  return ::fstat(fd_, &st) != 0 || st.st_nlink != 1;
}
bool FileHandle::TakeOwnerAndModeOf(const FileHandle& model) {
  struct stat old {};
  struct stat made {};
  if (::fstat(model.fd_, &old) != 0 || ::fstat(fd_, &made) != 0) return false;
  if ((old.st_uid != made.st_uid || old.st_gid != made.st_gid) &&
      ::fchown(fd_, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return ::fchmod(fd_, old.st_mode & 07777) == 0;
}
bool FileHandle::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n =
        ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}
std::size_t FileHandle::ReadAt(std::uint64_t offset, std::span<std::uint8_t> into) {
  std::size_t done = 0;
  while (done < into.size()) {
    const ssize_t n =
        ::pread(fd_, into.data() + done, into.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}
bool FileHandle::Truncate(std::uint64_t size) {
  int result;
  do {
    result = ::ftruncate(fd_, static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result == 0;
}
bool FileHandle::Sync() {
  return ::fsync(fd_) == 0;
}
bool FileHandle::Close() {
  if (fd_ < 0) return true;
  return ::close(std::exchange(fd_, -1)) == 0;
}
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

#endif

bool FileHandle::RenameTo(const fs::path& to) {
  std::error_code ec;
  fs::rename(path_, to, ec);
  if (ec) return false;
  path_ = to;
  return true;
}

bool FileHandle::Remove() {
  std::error_code ec;
  return fs::remove(path_, ec);
}

}  // namespace tonvale
