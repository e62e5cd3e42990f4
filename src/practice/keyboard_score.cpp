#include "practice/keyboard_score.h"

#include "practice/note_key.h"

namespace tonvale {

std::string KeyboardScore(const Song& song) {
  std::string text;
  std::size_t bar = 0;
  bool first = true;
  for (const SongNote& note : song.notes) {
    if (!note.Played()) continue;
    // Bars that end before the first key are not written.
    for (; bar < song.bar_ends.size() && song.bar_ends[bar] <= note.start; ++bar) {
      if (!first) text += " |";
    }
    if (!first) text += ' ';
    text += SongKeyText(note.key);
    first = false;
  }
  return text;
}

}  // namespace tonvale
