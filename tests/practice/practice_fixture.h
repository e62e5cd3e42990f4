// Reading songs from text in the practice tests.
#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <variant>

#include "practice/song_reader.h"

namespace tonvale::test {

// The song `text` reads as; a failure names the refusal.
inline Song ReadOk(std::string_view text) {
  SongReadResult read = ReadSongText(text);
  if (const SongError* error = std::get_if<SongError>(&read)) {
    ADD_FAILURE() << "refused: " << SongErrorMessage(*error, "song") << "\n" << text;
    return {};
  }
  return std::get<Song>(std::move(read));
}

inline SongError ReadFails(std::string_view text) {
  SongReadResult read = ReadSongText(text);
  if (std::holds_alternative<Song>(read)) {
    ADD_FAILURE() << "read: " << text;
    return {};
  }
  return std::get<SongError>(read);
}

}  // namespace tonvale::test
