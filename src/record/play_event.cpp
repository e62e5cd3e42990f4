#include "record/play_event.h"

#include "perform/note_sounding.h"

namespace tonvale {

bool HandlePlayEvent(Instrument& inst, const PlaybackList& playback, std::uint32_t index) {
  if (inst.settings.device_open == 0) return false;
  if (index >= playback.playback_events.size()) return false;
  const PerformanceEvent& ev = playback.playback_events[index];
  PlayRecordedEvent(inst, ev.message, ev.key_data, ev.octave_shift);
  return true;
}

}  // namespace tonvale
