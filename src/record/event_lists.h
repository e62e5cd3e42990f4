// The two lists of performance events: the recording list the key handler
// appends to (and that files save and load), and the playback list, a
// separate copy that playback reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "perform/ui_text.h"
#include "record/clock.h"
#include "record/performance_event.h"

namespace tonvale {

// Shown by whoever makes a playback copy that fails for lack of memory; the
// box has no owner window and a single OK button. Translated by the window
// under the context "EventLists".
inline constexpr const char* kMemoryErrorText = TONVALE_UI_TEXT("EventLists", "内存分配错误.");
inline constexpr const char* kMemoryErrorCaption = TONVALE_UI_TEXT("EventLists", "错误");

// Counts are 32-bit wherever they are stored (file header, scheduler).
inline constexpr std::size_t kMaxEventCount = std::numeric_limits<std::uint32_t>::max();

struct RecordingList {
  std::vector<PerformanceEvent> recording_events;  // size is the recording count
  std::uint32_t last_event_time = 0;  // clock reading at the start or at the latest append
  bool recording_flag = false;

  std::uint32_t recording_count() const {
    return static_cast<std::uint32_t>(recording_events.size());
  }
};

struct PlaybackList {
  std::vector<PerformanceEvent> playback_events;

  std::uint32_t playback_count() const {
    return static_cast<std::uint32_t>(playback_events.size());
  }
};

// Whether a list of `count` events can take one more.
constexpr bool CanAppend(std::size_t count) {
  return count < kMaxEventCount;
}

// Discards the previous recording (without asking), turns recording on and
// takes `now_ms` as the base of the first delta. The playback list is not
// touched.
void BeginRecording(RecordingList& list, std::uint32_t now_ms);

enum class AppendResult {
  kAppended,
  kNotRecording,    // recording is off: nothing to do
  kLeadingRelease,  // a release may not open a recording
  kDropped,         // the list is full or memory ran out; the list is as it was
};

// Appends one key event taken at `now_ms` and sets `modified_flag`. The
// delta is an unsigned 32-bit difference, so it is right across a wrap of the
// clock. A dropped event leaves the list, including its time base, exactly as
// it was, so the next delta still counts from the last kept event.
AppendResult AppendEvent(RecordingList& list, bool& modified_flag, std::int32_t message,
                         std::uint32_t key_data, std::int32_t shift, std::uint32_t now_ms);

// What the window's key-event hooks call for every key event the handler
// takes: reads the clock once, and only while recording.
AppendResult RecordKeyEvent(RecordingList& list, bool& modified_flag, MillisecondClock& clock,
                            std::int32_t message, std::uint32_t key_data, std::int32_t shift);

// Replaces the playback list with a copy of `events`. The old copy is
// released first; when memory runs out the playback list is left empty and
// false is returned (the caller shows kMemoryErrorText).
bool MakePlaybackCopy(PlaybackList& playback, const std::vector<PerformanceEvent>& events);

// Turns recording off and makes the playback copy; false when the copy
// failed (see MakePlaybackCopy).
bool EndRecording(RecordingList& list, PlaybackList& playback);

// Frees the playback list's storage.
void ReleasePlayback(PlaybackList& playback);

// A loaded recording takes the place of the current one. Refused (false,
// nothing changed) when it holds more events than a count can say.
bool ReplaceRecording(RecordingList& list, std::vector<PerformanceEvent>&& events);

}  // namespace tonvale
