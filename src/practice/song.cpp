#include "practice/song.h"

#include <algorithm>

namespace tonvale {

std::size_t Song::PlayedCount() const {
  return static_cast<std::size_t>(
      std::count_if(notes.begin(), notes.end(), [](const SongNote& n) { return n.Played(); }));
}

std::string Song::HeaderText() const {
  if (!has_bars) return key_text;
  std::string text = key_text + ' ' + std::to_string(time.beats) + '/' + std::to_string(time.unit);
  if (upbeat > 0) {
    // The upbeat as a note value: 4 a crotchet, 8 a quaver, 4. a dotted
    // crotchet; otherwise a count of the longest value that divides it (16*5).
    const std::int64_t whole = 4 * kTicksPerCrotchet;
    std::string value;
    for (int unit = 1; unit <= 32 && value.empty(); unit *= 2) {
      if (upbeat * unit == whole) value = std::to_string(unit);
      if (upbeat * unit * 2 == whole * 3) value = std::to_string(unit) + '.';
    }
    for (int unit = 1; unit <= 32 && value.empty(); unit *= 2) {
      if (upbeat % (whole / unit) == 0) {
        value = std::to_string(unit) + '*' + std::to_string(upbeat / (whole / unit));
      }
    }
    text += ',' + value;
  }
  return text;
}

std::int64_t MsAtTick(const Song& song, std::int64_t tick, int speed_percent) {
  if (speed_percent < 1 || speed_percent > 100) speed_percent = 100;
  // A recording's ticks are milliseconds at full speed.
  const std::int64_t numerator = song.tempo > 0 ? tick * 60000 * 100 : tick * 100;
  const std::int64_t denominator =
      song.tempo > 0 ? std::int64_t{kTicksPerCrotchet} * song.tempo * speed_percent
                     : std::int64_t{speed_percent};
  // Rounded to the nearest, halves up; ticks are never negative.
  return (numerator + denominator / 2) / denominator;
}

}  // namespace tonvale
