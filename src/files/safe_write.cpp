#include "files/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tonvale {

namespace {

namespace fs = std::filesystem;

// An in-place write keeps the old bytes aside up to this size; a bigger file
// whose rewrite fails is left empty.
constexpr std::uintmax_t kMaxKeptBytes = std::uintmax_t{64} << 20;
constexpr int kMaxLinks = 40;  // as many as the kernel follows

#ifdef _WIN32
int OpenNew(const fs::path& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int OpenToWrite(const fs::path& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_BINARY);
}
long WriteSome(int fd, const std::uint8_t* data, std::size_t count) {
  const unsigned chunk = count > (1u << 30) ? (1u << 30) : static_cast<unsigned>(count);
  return _write(fd, data, chunk);
}
int SyncFile(int fd) {
  return _commit(fd);
}
int CloseFile(int fd) {
  return _close(fd);
}
bool Rewind(int fd) {
  return _lseeki64(fd, 0, SEEK_SET) == 0 && _chsize_s(fd, 0) == 0;
}
// Nothing a rename would lose: no owner to keep, no other names.
bool TakeOwnerAndMode(int, int) {
  return true;
}
bool SingleName(int) {
  return true;
}
void SyncFolder(const fs::path&) {}
#else
int OpenNew(const fs::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
int OpenToWrite(const fs::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
}
long WriteSome(int fd, const std::uint8_t* data, std::size_t count) {
  return static_cast<long>(::write(fd, data, count));
}
int SyncFile(int fd) {
  return ::fsync(fd);
}
int CloseFile(int fd) {
  return ::close(fd);
}
bool Rewind(int fd) {
  return ::lseek(fd, 0, SEEK_SET) == 0 && ::ftruncate(fd, 0) == 0;
}
// Gives the new file `to` the owner, group and mode of the old file `from`;
// false when the owner or group cannot be given.
bool TakeOwnerAndMode(int to, int from) {
  struct stat old {};
  struct stat made {};
  if (::fstat(from, &old) != 0 || ::fstat(to, &made) != 0) return false;
  if ((old.st_uid != made.st_uid || old.st_gid != made.st_gid) &&
      ::fchown(to, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return ::fchmod(to, old.st_mode & 07777) == 0;
}
// A rename would part a file with other (hard) names from them.
bool SingleName(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && st.st_nlink == 1;
}
// So that the rename itself survives a power cut; a folder that cannot be
// synced is no reason to report the written file as lost.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}
#endif

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  const std::uint8_t* at = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const long n = WriteSome(fd, at, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteForbidden(const fs::path& path) {
  constexpr fs::perms kAnyWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  return !ec && (status.permissions() & kAnyWrite) == fs::perms::none;
}

// The path with every symbolic link at its end followed; nothing for a loop.
std::optional<fs::path> FollowLinks(fs::path path) {
  std::error_code ec;
  for (int hops = 0; fs::is_symlink(path, ec); ++hops) {
    fs::path to = fs::read_symlink(path, ec);
    if (ec || hops == kMaxLinks) return std::nullopt;
    path = to.is_absolute() ? to : path.parent_path() / to;
  }
  return path;
}

// A new hidden file with a short name in `folder`, whatever the target's name.
int CreateTemporary(const fs::path& folder, fs::path& temp) {
  static std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 16; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, ".tonvale-%08x.tmp", static_cast<unsigned>(random()));
    temp = folder / name;
    const int fd = OpenNew(temp);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

std::optional<std::vector<std::uint8_t>> ReadKept(const fs::path& path) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec || size > kMaxKeptBytes) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  std::ifstream in(path, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace

SafeWriter::~SafeWriter() {
  Abandon();
}

void SafeWriter::Abandon() {
  if (fd_ >= 0) {
    ok_ = false;
    Finish();
  }
  ok_ = true;
}

std::optional<FileError> SafeWriter::Open(const fs::path& target) {
  Abandon();
  const std::optional<fs::path> real = FollowLinks(target);
  if (!real || real->filename().empty()) return FileError::kCannotCreate;
  target_ = *real;
  std::error_code ec;
  const fs::file_status old = fs::status(target_, ec);
  const bool exists = fs::exists(old);
  int existing = -1;
  if (exists) {
    if (fs::is_directory(old) || WriteForbidden(target_)) return FileError::kCannotCreate;
    existing = OpenToWrite(target_);
    if (existing < 0) return FileError::kCannotCreate;
  }
  sync_ = !exists || fs::is_regular_file(old);

  const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
  if (sync_ && !WriteForbidden(folder) && (existing < 0 || SingleName(existing))) {
    fd_ = CreateTemporary(folder, temp_);
    if (fd_ >= 0 && existing >= 0 && !TakeOwnerAndMode(fd_, existing)) {
      CloseFile(fd_);
      fs::remove(temp_, ec);
      fd_ = -1;
    }
  }
  if (fd_ >= 0) {
    if (existing >= 0) CloseFile(existing);
    return std::nullopt;
  }
  temp_.clear();
  if (existing < 0) return FileError::kCannotCreate;

  // In place, the old bytes kept aside first.
  if (sync_) {
    old_bytes_ = ReadKept(target_);
    if (!Rewind(existing)) {
      CloseFile(existing);
      return FileError::kCannotCreate;
    }
  }
  fd_ = existing;
  return std::nullopt;
}

bool SafeWriter::Write(std::span<const std::uint8_t> bytes) {
  if (ok_ && (fd_ < 0 || !WriteAll(fd_, bytes))) ok_ = false;
  return ok_;
}

void SafeWriter::PutBack() {
  if (!sync_ || !Rewind(fd_) || !old_bytes_) return;
  if (WriteAll(fd_, *old_bytes_)) SyncFile(fd_);
}

std::optional<FileError> SafeWriter::Finish() {
  if (fd_ < 0) return FileError::kCannotWrite;
  if (ok_ && sync_ && SyncFile(fd_) != 0) ok_ = false;
  std::error_code ec;
  if (temp_.empty()) {
    if (!ok_) PutBack();
    if (CloseFile(fd_) != 0) ok_ = false;
  } else {
    if (CloseFile(fd_) != 0) ok_ = false;
    if (ok_) fs::rename(temp_, target_, ec);
    if (!ok_ || ec) {
      ok_ = false;
      fs::remove(temp_, ec);
    } else {
      SyncFolder(target_.has_parent_path() ? target_.parent_path() : fs::path("."));
    }
  }
  fd_ = -1;
  temp_.clear();
  old_bytes_.reset();
  if (!ok_) return FileError::kCannotWrite;
  return std::nullopt;
}

std::optional<FileError> WriteFileSafely(const fs::path& target, BytePieces pieces) {
  SafeWriter file;
  if (const std::optional<FileError> error = file.Open(target)) return error;
  for (std::span<const std::uint8_t> piece : pieces) file.Write(piece);
  return file.Finish();
}

std::optional<FileError> WriteFileSafely(const fs::path& target,
                                         std::span<const std::uint8_t> bytes) {
  const std::span<const std::uint8_t> pieces[1] = {bytes};
  return WriteFileSafely(target, BytePieces(pieces));
}

fs::path PathFromUtf8(std::string_view text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

}  // namespace tonvale
