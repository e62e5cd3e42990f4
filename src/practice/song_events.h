// A song as performance events, as the key handler would have recorded the
// player: for the window's listening mode (through the playback scheduler
// and PlayRecordedEvent, so the keys light as a recording's do) and for the
// tool's render.
#pragma once

#include <cstdint>
#include <vector>

#include "practice/song.h"
#include "record/performance_event.h"

namespace tonvale {

// A release comes this long before its note's written end (at most half the
// note), so that the same key struck again at once is heard again and the
// next press keeps its time: the scheduler spaces events at least 5 ms.
inline constexpr std::int64_t kReleaseGapMs = 10;

// One press and one release for every played note (ties and held beats are
// one note), in time order, a release before a press at the same time.
// Press: kKeyDown, key parameter (scan code << 16) | 1 (repeat count 1);
// release: kKeyUp, ReleaseParameterOf(press); octave_shift the key's shift.
// delta_ms are differences of absolute times (MsAtTick), so nothing drifts;
// the first counts from the song's start (tick 0).
std::vector<PerformanceEvent> SongEvents(const Song& song, int speed_percent = 100);

}  // namespace tonvale
