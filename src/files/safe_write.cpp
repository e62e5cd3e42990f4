#include "files/safe_write.h"

#include <cerrno>
#include <random>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tonvale {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
int OpenNew(const fs::path& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
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
void SyncFolder(const fs::path&) {}
#else
int OpenNew(const fs::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
// So that the rename itself survives a power cut; a folder that cannot be
// synced is no reason to report the written file as lost.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

// A hidden name beside the target that no one else is using.
fs::path TemporaryName(const fs::path& target, unsigned attempt) {
  static std::mt19937_64 random{std::random_device{}()};
  fs::path name = ".";
  name += target.filename().native();
  name += "." + std::to_string(random() % 1000000000u + attempt) + ".tmp";
  return target.parent_path() / name;
}

}  // namespace

std::optional<FileError> WriteFileSafely(const fs::path& target, BytePieces pieces) {
  std::error_code ec;
  if (target.filename().empty() || fs::is_directory(target, ec)) return FileError::kCannotCreate;

  fs::path temp;
  int fd = -1;
  for (unsigned attempt = 0; attempt < 16 && fd < 0; ++attempt) {
    temp = TemporaryName(target, attempt);
    fd = OpenNew(temp);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return FileError::kCannotCreate;

  bool ok = true;
  for (std::span<const std::uint8_t> piece : pieces) {
    if (!WriteAll(fd, piece)) {
      ok = false;
      break;
    }
  }
  if (ok && SyncFile(fd) != 0) ok = false;
  if (CloseFile(fd) != 0) ok = false;
  if (ok) {
    // A file saved over keeps the rights it had.
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
    fs::rename(temp, target, ec);
    if (ec) ok = false;
  }
  if (!ok) {
    fs::remove(temp, ec);
    return FileError::kCannotWrite;
  }
  SyncFolder(target.parent_path());
  return std::nullopt;
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
