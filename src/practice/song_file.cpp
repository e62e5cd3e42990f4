#include "practice/song_file.h"

#include <fstream>
#include <variant>

#include "files/qvi_file.h"
#include "practice/recording_song.h"

namespace tonvale {

namespace fs = std::filesystem;

namespace {

bool HasRecordingName(const fs::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext == ".qvi";
}

}  // namespace

bool IsRecordingFile(const fs::path& path) {
  if (HasRecordingName(path)) return true;
  std::ifstream in(path, std::ios::binary);
  char head[4] = {};
  return in.read(head, 4) && std::string_view(head, 4) == "RIFF";
}

SongReadResult ReadSongFile(const fs::path& path) {
  const std::string stem = path.stem().string();
  if (IsRecordingFile(path)) {
    QviReadResult read = ReadQviFile(path);
    if (const FileError* error = std::get_if<FileError>(&read)) {
      SongError song_error{SongProblem::kRecording, 0, {}};
      song_error.file_error = *error;
      return song_error;
    }
    Song song = SongFromRecording(std::get<RecordingFile>(read));
    if (song.PlayedCount() == 0) return SongError{SongProblem::kNoNotes, 0, {}};
    song.title = stem;
    return song;
  }

  std::error_code ec;
  if (fs::is_directory(path, ec)) return SongError{SongProblem::kCannotOpen, 0, {}};
  std::ifstream in(path, std::ios::binary);
  if (!in) return SongError{SongProblem::kCannotOpen, 0, {}};
  // Read at most one byte past the bound: enough to know it is too large.
  std::string text(kMaxSongBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return SongError{SongProblem::kCannotOpen, 0, {}};
  text.resize(static_cast<std::size_t>(in.gcount()));
  SongReadResult result = ReadSongText(text);
  if (Song* song = std::get_if<Song>(&result); song != nullptr && song->title.empty()) {
    song->title = stem;
  }
  return result;
}

}  // namespace tonvale
