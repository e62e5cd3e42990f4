// Opening a song: a numbered-notation text file, or a .qvi recording.
#pragma once

#include <filesystem>
#include <string_view>

#include "practice/song_reader.h"

namespace tonvale {

// Whether `path` names a recording: a .qvi name (any case), or a file that
// begins like one ("RIFF").
bool IsRecordingFile(const std::filesystem::path& path);

// Reads either kind. A text file larger than kMaxSongBytes or not UTF-8 is
// refused before it is parsed. A song without a title takes the file's name
// without its extension (a recording always does).
SongReadResult ReadSongFile(const std::filesystem::path& path);

}  // namespace tonvale
