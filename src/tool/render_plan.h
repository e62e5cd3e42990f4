// Offline playback of a recording: when each event sounds and how long the
// rendered sound lasts, by the same rules as playback in the window.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "perform/midi_output.h"
#include "record/performance_event.h"

namespace tonvale {

inline constexpr std::uint32_t kRenderRate = 44100;  // frames per second
// Sound kept after the last event, for the notes to die away (about the
// 399 ticks a MIDI export keeps).
inline constexpr std::uint32_t kRenderTailMs = 1600;

// Milliseconds from the start at which each event plays: every event waits
// its delta_ms after the one before (the first after the start), but at
// least the scheduler's 5 ms.
std::vector<std::uint64_t> EventTimesMs(std::span<const PerformanceEvent> events);

constexpr std::uint64_t FrameAt(std::uint64_t ms) {
  return ms * kRenderRate / 1000;
}

// Frames of the whole rendering: up to the last event, then the tail.
std::uint64_t RenderedFrames(std::span<const std::uint64_t> times_ms);

struct RenderSettings {
  std::int32_t key_mode;
  std::int32_t program;
  bool auto_bass;
};

// Makes the sound of the messages sent so far.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // Fills interleaved stereo samples (left, right, ...): out.size() / 2 frames.
  virtual void Render(std::span<std::int16_t> out) = 0;
};

// Plays `events` into `out` with `settings` (channel 1, velocity 127, the
// automatic bass on channel 16), rendering `source` between the events. As
// at the end of a single play, every channel is silenced right after the
// last event; the tail follows. Returns interleaved stereo samples.
std::vector<std::int16_t> RenderRecording(MidiOut& out, FrameSource& source,
                                          std::span<const PerformanceEvent> events,
                                          const RenderSettings& settings);

}  // namespace tonvale
