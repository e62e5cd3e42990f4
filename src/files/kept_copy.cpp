#include "files/kept_copy.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "files/safe_write.h"
#include "files/state_folder.h"

namespace tonvale {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kNoteMagic = "tonvale kept copy\n";
constexpr std::size_t kStateAt = kNoteMagic.size();
constexpr std::size_t kPathsAt = kStateAt + 2;
// No note of ours comes near this: two paths.
constexpr std::uint64_t kMaxNoteBytes = 1 << 16;
constexpr std::size_t kCopyBlock = 1 << 20;

std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

// Streams `size` bytes from `from` into `to`, both from the start.
bool CopyBytes(FileHandle& from, FileHandle& to, std::uint64_t size) {
  std::vector<std::uint8_t> block;
  try {
    block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(size, kCopyBlock)));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::uint64_t at = 0; at < size;) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(size - at, kCopyBlock));
    const std::span<std::uint8_t> part(block.data(), want);
    if (from.ReadAt(at, part) != want || !to.WriteAt(at, part)) return false;
    at += want;
  }
  return true;
}

void RemoveBoth(FileHandle& copy, FileHandle& note) {
  copy.Remove();
  copy.Close();
  note.Remove();
  note.Close();
}

struct ParsedNote {
  char state;
  fs::path target;
  fs::path copy;
};

std::optional<ParsedNote> ParseNote(std::string_view bytes) {
  if (bytes.size() < kPathsAt || bytes.substr(0, kStateAt) != kNoteMagic ||
      bytes[kStateAt + 1] != '\n') {
    return std::nullopt;
  }
  const std::size_t end_target = bytes.find('\0', kPathsAt);
  if (end_target == std::string_view::npos) return std::nullopt;
  const std::size_t end_copy = bytes.find('\0', end_target + 1);
  if (end_copy == std::string_view::npos) return std::nullopt;
  const std::string_view target = bytes.substr(kPathsAt, end_target - kPathsAt);
  const std::string_view copy = bytes.substr(end_target + 1, end_copy - end_target - 1);
  if (target.empty() || copy.empty()) return std::nullopt;
  return ParsedNote{bytes[kStateAt], PathFromUtf8(target), PathFromUtf8(copy)};
}

}  // namespace

std::string KeptNoteBytes(char state, const fs::path& target, const fs::path& copy) {
  std::string bytes(kNoteMagic);
  bytes += state;
  bytes += '\n';
  bytes += Utf8(target);
  bytes += '\0';
  bytes += Utf8(copy);
  bytes += '\0';
  return bytes;
}

std::optional<KeptCopy> KeptCopy::Make(const fs::path& target, FileHandle& old, std::uint64_t size,
                                       bool beside_allowed, const fs::path& state_folder) {
  if (!MakeStateFolder(state_folder)) return std::nullopt;
  const fs::path absolute_target = fs::absolute(target);
  const std::string tag = RandomTag();
  const std::string copy_name = ".tonvale-" + tag + ".old";
  const fs::path beside =
      beside_allowed ? FolderOf(absolute_target) / copy_name : state_folder / copy_name;
  const fs::path in_state = state_folder / copy_name;

  // The note comes first and names the copy before it exists, so that no
  // copy is ever on the disk unannounced.
  KeptCopy kept;
  kept.size_ = size;
  kept.note_ = FileHandle::CreateHidden(state_folder, ".tmp", 0600);
  if (!kept.note_) return std::nullopt;
  const auto announce = [&](const fs::path& copy) {
    const std::string note = KeptNoteBytes('C', absolute_target, copy);
    return kept.note_.Truncate(0) && kept.note_.WriteAt(0, AsBytes(note)) && kept.note_.Sync();
  };
  const fs::path note_path = state_folder / ("kept-" + tag + ".note");
  bool made = announce(beside) && kept.note_.RenameTo(note_path);
  if (made) {
    SyncFolder(state_folder);
    kept.copy_ = FileHandle::Create(beside, 0600);
    // A folder that takes no new file: the state folder holds the copy.
    if (!kept.copy_ && announce(in_state)) kept.copy_ = FileHandle::Create(in_state, 0600);
    made = kept.copy_ && CopyBytes(old, kept.copy_, size) && kept.copy_.Sync();
  }
  if (made) {
    SyncFolder(FolderOf(kept.copy_.path()));
    made = kept.note_.WriteAt(kStateAt, AsBytes("R")) && kept.note_.Sync();
  }
  if (!made) {
    RemoveBoth(kept.copy_, kept.note_);
    return std::nullopt;
  }
  return kept;
}

void KeptCopy::Release() {
  RemoveBoth(copy_, note_);
}

bool KeptCopy::PutBack(FileHandle& file) {
  if (!copy_ || !CopyBytes(copy_, file, size_) || !file.Truncate(size_) || !file.Sync()) {
    return false;
  }
  Release();
  return true;
}

std::vector<LeftCopy> FindLeftCopies(const fs::path& state_folder) {
  std::vector<std::pair<fs::file_time_type, LeftCopy>> found;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(state_folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("kept-") || !name.ends_with(".note")) continue;
    FileHandle note = FileHandle::Open(entry.path(), FileHandle::Access::kRead);
    // A running write holds its note.
    if (!note || !note.IsRegular() || !note.TryLock()) continue;
    const std::uint64_t size = std::min<std::uint64_t>(note.Size().value_or(0), kMaxNoteBytes);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(note.ReadAt(0, {reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()}));
    const std::optional<ParsedNote> parsed = ParseNote(bytes);
    // A note that names nothing readable cannot be offered.
    if (!parsed) {
      note.Remove();
      continue;
    }
    std::error_code missing;
    if (parsed->state != 'R' || !fs::is_regular_file(parsed->copy, missing)) {
      // The file was never touched, or the copy went after its new content
      // was safe.
      fs::remove(parsed->copy, missing);
      note.Remove();
      continue;
    }
    found.emplace_back(entry.last_write_time(ec),
                       LeftCopy{parsed->target, parsed->copy, std::move(note)});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<LeftCopy> copies;
  for (auto& [time, left] : found) copies.push_back(std::move(left));
  return copies;
}

std::optional<FileError> RestoreLeftCopy(LeftCopy& left) {
  FileHandle copy = FileHandle::Open(left.copy, FileHandle::Access::kRead);
  const std::optional<std::uint64_t> size = copy ? copy.Size() : std::nullopt;
  if (!size) return FileError::kCannotRead;
  SafeWriter writer;
  if (const std::optional<FileError> error = writer.Open(left.target)) return error;
  std::vector<std::uint8_t> block;
  try {
    block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(*size, kCopyBlock)));
  } catch (const std::bad_alloc&) {
    writer.Abandon();
    return FileError::kCannotWrite;
  }
  for (std::uint64_t at = 0; at < *size;) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(*size - at, kCopyBlock));
    const std::span<std::uint8_t> part(block.data(), want);
    if (copy.ReadAt(at, part) != want) {
      writer.Abandon();
      return FileError::kCannotRead;
    }
    writer.Write(part);
    at += want;
  }
  if (const std::optional<FileError> error = writer.Finish()) return error;
  DiscardLeftCopy(left);
  return std::nullopt;
}

void DiscardLeftCopy(LeftCopy& left) {
  std::error_code ec;
  fs::remove(left.copy, ec);
  left.note.Remove();
  left.note.Close();
}

}  // namespace tonvale
