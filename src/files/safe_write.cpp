#include "files/safe_write.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <system_error>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "files/state_folder.h"

namespace tonvale {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;  // as many as the kernel follows
// A temporary file is named, then locked at once; one that nobody has
// written to for this long is no write's that is just starting.
constexpr auto kLeftTemporaryAge = std::chrono::minutes(1);

// The temporary file being written, for a signal handler to remove: a plain
// buffer, since a handler may not allocate or lock.
char g_temporary[4096];
std::atomic<bool> g_temporary_set{false};
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void RegisterTemporary(const fs::path& path) {
  const std::string text = path.string();
  g_temporary_set = false;
  if (text.size() >= sizeof g_temporary) return;
  std::memcpy(g_temporary, text.c_str(), text.size() + 1);
  g_temporary_set = true;
}

void ForgetTemporary() {
  g_temporary_set = false;
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

bool IsLeftTemporaryName(const std::string& name) {
  constexpr std::string_view kPrefix = ".tonvale-", kSuffix = ".tmp";
  if (name.size() != kPrefix.size() + 8 + kSuffix.size() || !name.starts_with(kPrefix) ||
      !name.ends_with(kSuffix)) {
    return false;
  }
  for (std::size_t i = kPrefix.size(); i < kPrefix.size() + 8; ++i) {
    if (std::strchr("0123456789abcdef", name[i]) == nullptr) return false;
  }
  return true;
}

}  // namespace

void SweepLeftTemporaries(const fs::path& folder) {
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (!IsLeftTemporaryName(entry.path().filename().string())) continue;
    std::error_code entry_ec;
    if (!entry.is_regular_file(entry_ec) || entry.is_symlink(entry_ec)) continue;
    const fs::file_time_type written = entry.last_write_time(entry_ec);
    if (entry_ec || now - written < kLeftTemporaryAge) continue;
    FileHandle left = FileHandle::Open(entry.path(), FileHandle::Access::kRead);
    if (left && left.TryLock()) left.Remove();
  }
}

void RemoveTemporaryNow() noexcept {
#ifndef _WIN32
  if (g_temporary_set) ::unlink(g_temporary);
#endif
}

void InterruptWrites() noexcept {
  g_interrupted = true;
}

bool WritesInterrupted() noexcept {
  return g_interrupted;
}

SafeWriter::~SafeWriter() {
  Abandon();
}

void SafeWriter::Abandon() {
  if (file_) {
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
  FileHandle existing;
  if (fs::exists(old)) {
    // A named pipe or a device is never opened: that could wait forever.
    if (!fs::is_regular_file(old) || WriteForbidden(target_)) return FileError::kCannotCreate;
    existing = FileHandle::Open(target_, FileHandle::Access::kWrite);
    if (!existing || !existing.IsRegular()) return FileError::kCannotCreate;
  }

  const fs::path folder = FolderOf(target_);
  const bool folder_takes_files = !WriteForbidden(folder);
  if (folder_takes_files && !(existing && existing.HasOtherNames())) {
    SweepLeftTemporaries(folder);
    file_ = FileHandle::CreateHidden(folder, ".tmp");
    if (file_ && existing && !file_.TakeOwnerAndModeOf(existing)) {
      file_.Remove();
      file_.Close();
    }
  }
  written_ = 0;
  ok_ = true;
  if (file_) {
    RegisterTemporary(file_.path());
    return std::nullopt;
  }
  if (!existing) return FileError::kCannotCreate;

  // In place, once the old bytes are safely kept.
  FileHandle reader = FileHandle::Open(target_, FileHandle::Access::kRead);
  const std::optional<std::uint64_t> size = existing.Size();
  if (!reader || !size) return FileError::kCannotCreate;
  kept_ = KeptCopy::Make(target_, reader, *size, folder_takes_files, StateFolder());
  if (!kept_) return FileError::kCannotCreate;
  file_ = std::move(existing);
  return std::nullopt;
}

bool SafeWriter::Write(std::span<const std::uint8_t> bytes) {
  if (ok_ && (!file_ || WritesInterrupted() || !file_.WriteAt(written_, bytes))) ok_ = false;
  if (ok_) written_ += bytes.size();
  return ok_;
}

std::optional<FileError> SafeWriter::Finish() {
  if (!file_) return FileError::kCannotWrite;
  if (kept_) {
    // Whatever lay beyond the new end goes only now, with the new content.
    if (ok_) ok_ = file_.Truncate(written_) && file_.Sync();
    // Should even the put-back fail, the copy stays for the next start to
    // offer; so it does when closing reports a lost write.
    if (!ok_) kept_->PutBack(file_);
    if (!file_.Close()) ok_ = false;
    if (ok_) kept_->Release();
    kept_.reset();
  } else {
    if (ok_) ok_ = file_.Sync();
    const fs::path temporary = file_.path();
    if (!file_.Close()) ok_ = false;
    std::error_code ec;
    if (ok_) fs::rename(temporary, target_, ec);
    ForgetTemporary();
    if (!ok_ || ec) {
      ok_ = false;
      fs::remove(temporary, ec);
    } else {
      SyncFolder(FolderOf(target_));
    }
  }
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
