#include "files/journal_file.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

#include "files/riff.h"
#include "perform/instrument.h"
#include "perform/key_table.h"
#include "perform/settings.h"

namespace tonvale {

namespace fs = std::filesystem;

namespace {

using riff::MakeFourCC;

bool Playable(const PerformanceEvent& e) {
  return (e.message == kKeyDown || e.message == kKeyUp) && e.octave_shift >= -1 &&
         e.octave_shift <= 1;
}

}  // namespace

RecordingFile ReadJournal(std::span<const std::uint8_t> bytes) {
  RecordingFile take;
  take.key_mode = kDefaultKeyMode;
  std::uint64_t events_at = kQviHeaderBytes;
  riff::SpanSource source(bytes);
  if (const std::optional<riff::Chunk> form = riff::FindForm(source, MakeFourCC("QV  "))) {
    const std::optional<riff::Chunk> fmt =
        riff::FindChunk(source, *form, form->FirstChild(), MakeFourCC("fmt "));
    std::uint8_t format[24];
    if (fmt && fmt->size == sizeof format &&
        source.ReadAt(fmt->DataBegin(), format, sizeof format) == sizeof format) {
      const auto mode = static_cast<std::int32_t>(riff::LoadU32(format + 4));
      if (TonicOffset(mode)) take.key_mode = mode;
      take.auto_bass = riff::LoadU32(format + 8) == 1 ? 1 : 0;
      if (const std::optional<riff::Chunk> data =
              riff::FindChunk(source, *form, fmt->Next(), MakeFourCC("data"))) {
        events_at = data->DataBegin();
      }
    }
  }
  for (std::uint64_t at = events_at; at + kEventBytes <= bytes.size(); at += kEventBytes) {
    const PerformanceEvent e =
        DecodeEvent(std::span<const std::uint8_t, kEventBytes>(bytes.data() + at, kEventBytes));
    if (!Playable(e)) break;
    take.events.push_back(e);
  }
  return take;
}

bool IsJournalName(std::string_view name) {
  constexpr std::string_view kPrefix = "take-", kSuffix = ".qvi";
  if (name.size() != kPrefix.size() + 8 + kSuffix.size() || !name.starts_with(kPrefix) ||
      !name.ends_with(kSuffix)) {
    return false;
  }
  return std::all_of(name.begin() + kPrefix.size(), name.end() - kSuffix.size(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string JournalName(std::string_view tag) {
  return "take-" + std::string(tag) + ".qvi";
}

std::vector<LeftJournal> FindLeftJournals(const fs::path& folder) {
  std::vector<std::pair<fs::file_time_type, LeftJournal>> found;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    if (!IsJournalName(entry.path().filename().string())) continue;
    FileHandle file = FileHandle::Open(entry.path(), FileHandle::Access::kRead);
    // The window that plays the take holds its journal.
    if (!file || !file.IsRegular() || !file.TryLock()) continue;
    const std::optional<std::uint64_t> size = file.Size();
    if (!size) continue;
    RecordingFile take;
    try {
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
      bytes.resize(file.ReadAt(0, bytes));
      take = ReadJournal(bytes);
    } catch (const std::bad_alloc&) {
      continue;
    }
    if (take.events.empty()) {
      file.Remove();
      continue;
    }
    std::error_code time_ec;
    found.emplace_back(entry.last_write_time(time_ec),
                       LeftJournal{entry.path(), std::move(file), std::move(take)});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<LeftJournal> journals;
  for (auto& [time, journal] : found) journals.push_back(std::move(journal));
  return journals;
}

}  // namespace tonvale
