#include "practice/song_events.h"

#include <algorithm>

#include "perform/instrument.h"
#include "perform/key_handler.h"

namespace tonvale {

std::vector<PerformanceEvent> SongEvents(const Song& song, int speed_percent) {
  struct Timed {
    std::int64_t ms;
    PerformanceEvent event;
  };
  std::vector<Timed> timed;
  timed.reserve(2 * song.notes.size());
  for (const SongNote& note : song.notes) {
    if (!note.Played()) continue;
    const std::int64_t on = MsAtTick(song, note.start, speed_percent);
    const std::int64_t end = MsAtTick(song, note.start + note.sound_length, speed_percent);
    const std::int64_t off = end - std::min(kReleaseGapMs, (end - on) / 2);
    const std::uint32_t press = (std::uint32_t{note.key.scan_code} << 16) | 1u;
    timed.push_back({on, {0, kKeyDown, press, note.key.shift}});
    timed.push_back({off, {0, kKeyUp, ReleaseParameterOf(press), note.key.shift}});
  }
  // A recording's notes may overlap; a release goes before a press at the
  // same moment, so a key struck again sounds again.
  std::stable_sort(timed.begin(), timed.end(), [](const Timed& a, const Timed& b) {
    if (a.ms != b.ms) return a.ms < b.ms;
    return a.event.message == kKeyUp && b.event.message != kKeyUp;
  });
  std::vector<PerformanceEvent> events;
  events.reserve(timed.size());
  std::int64_t last = 0;
  for (const Timed& t : timed) {
    PerformanceEvent e = t.event;
    // Only an absurd song holds a gap past 49 days; it is cut, not wrapped.
    e.delta_ms = static_cast<std::uint32_t>(std::min<std::int64_t>(t.ms - last, 0xFFFFFFFF));
    last = t.ms;
    events.push_back(e);
  }
  return events;
}

}  // namespace tonvale
