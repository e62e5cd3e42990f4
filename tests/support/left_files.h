// Files as an earlier run leaves them: journals of takes, temporary files,
// dated back so that they count as left rather than just started.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "files/journal_file.h"
#include "files/qvi_file.h"

namespace tonvale::test {

inline void WriteLeft(const std::filesystem::path& path, std::string_view bytes,
                      int minutes_ago = 0) {
  std::ofstream(path, std::ios::binary) << bytes;
  std::filesystem::last_write_time(
      path, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(minutes_ago));
}

// What a journal holds for `events`: a recording file, dated 2024-03-09.
inline std::string JournalBytes(const std::vector<PerformanceEvent>& events,
                                std::int32_t key_mode = 1297, bool auto_bass = false) {
  const std::vector<std::uint8_t> bytes = *BuildQviBytes(events, key_mode, auto_bass, {2024, 3, 9});
  return {bytes.begin(), bytes.end()};
}

inline RecordingFile ReadJournalText(std::string_view bytes) {
  return ReadJournal({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

}  // namespace tonvale::test
