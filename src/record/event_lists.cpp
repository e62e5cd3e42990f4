#include "record/event_lists.h"

#include <new>
#include <utility>

#include "perform/instrument.h"

namespace tonvale {

void BeginRecording(RecordingList& list, std::uint32_t now_ms) {
  std::vector<PerformanceEvent>().swap(list.recording_events);
  list.recording_flag = true;
  list.last_event_time = now_ms;
}

AppendResult AppendEvent(RecordingList& list, bool& modified_flag, std::int32_t message,
                         std::uint32_t key_data, std::int32_t shift, std::uint32_t now_ms) {
  if (!list.recording_flag) return AppendResult::kNotRecording;
  const bool first = list.recording_events.empty();
  // A key pressed before recording began must not open the list with its
  // release.
  if (first && message == kKeyUp) return AppendResult::kLeadingRelease;
  if (!CanAppend(list.recording_events.size())) return AppendResult::kDropped;
  const PerformanceEvent ev{now_ms - list.last_event_time, message, key_data, shift};
  try {
    // push_back leaves the vector untouched when it throws.
    list.recording_events.push_back(ev);
  } catch (const std::bad_alloc&) {
    return AppendResult::kDropped;
  }
  list.last_event_time = now_ms;
  // Every event, not only the first: a recording saved while it runs (the
  // session-end question) has unsaved events again after its next key.
  modified_flag = true;
  return AppendResult::kAppended;
}

AppendResult RecordKeyEvent(RecordingList& list, bool& modified_flag, MillisecondClock& clock,
                            std::int32_t message, std::uint32_t key_data, std::int32_t shift) {
  if (!list.recording_flag) return AppendResult::kNotRecording;
  return AppendEvent(list, modified_flag, message, key_data, shift, clock.NowMs());
}

bool MakePlaybackCopy(PlaybackList& playback, const std::vector<PerformanceEvent>& events) {
  ReleasePlayback(playback);
  try {
    std::vector<PerformanceEvent> copy(events.begin(), events.end());
    playback.playback_events = std::move(copy);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool EndRecording(RecordingList& list, PlaybackList& playback) {
  list.recording_flag = false;
  return MakePlaybackCopy(playback, list.recording_events);
}

void ReleasePlayback(PlaybackList& playback) {
  std::vector<PerformanceEvent>().swap(playback.playback_events);
}

bool ReplaceRecording(RecordingList& list, std::vector<PerformanceEvent>&& events) {
  if (events.size() > kMaxEventCount) return false;
  list.recording_events = std::move(events);
  return true;
}

}  // namespace tonvale
