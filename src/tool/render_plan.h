// Offline playback of a recording: when each event sounds and how long the
// rendered sound lasts, by the same rules as playback in the window, and the
// sound itself, streamed block by block so that memory stays bounded
// whatever the recording's length.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <span>

#include "files/file_error.h"
#include "perform/midi_output.h"
#include "record/performance_event.h"

namespace tonvale {

// Frames per second: CD rate unless asked otherwise (tonvale-tool render
// --rate), within what FluidSynth can synthesize at.
inline constexpr std::uint32_t kDefaultRenderRate = 44100;
inline constexpr std::uint32_t kMinRenderRate = 8000;
inline constexpr std::uint32_t kMaxRenderRate = 96000;
// Sound kept after the last event, for the notes to die away (about the
// 399 ticks a MIDI export keeps).
inline constexpr std::uint32_t kRenderTailMs = 1600;
inline constexpr std::size_t kRenderBlockFrames = 4096;

// The frame at `ms` at `rate` frames per second, rounded down; saturates
// instead of wrapping.
constexpr std::uint64_t FrameAt(std::uint64_t ms, std::uint32_t rate) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  return ms > kMax / rate ? kMax : ms * rate / 1000;
}

// Frames of the whole rendering: every event waits its delta_ms after the
// one before (the first after the start), but at least the scheduler's 5 ms;
// the tail follows the last. Exact up to 2^64 - 1, where it saturates, so
// no file can make it wrap.
std::uint64_t RenderedFrames(std::span<const PerformanceEvent> events,
                             std::uint32_t rate = kDefaultRenderRate);

struct RenderSettings {
  std::int32_t key_mode;
  std::int32_t program;
  bool auto_bass;
  std::uint32_t rate = kDefaultRenderRate;
};

// Makes the sound of the messages sent so far.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  // Fills interleaved stereo samples (left, right, ...): out.size() / 2 frames.
  virtual void Render(std::span<std::int16_t> out) = 0;
};

// Takes the rendered samples, in order; false stops the rendering.
using SampleSink = std::function<bool(std::span<const std::int16_t>)>;

// Plays `events` into `out` with `settings` (channel 1, velocity 127, the
// automatic bass on channel 16), rendering `source` between the events into
// `sink` in blocks of at most kRenderBlockFrames frames, RenderedFrames in
// all. As at the end of a single play, every channel is silenced right after
// the last event; the tail follows. False when the sink stopped it.
bool RenderRecording(MidiOut& out, FrameSource& source, std::span<const PerformanceEvent> events,
                     const RenderSettings& settings, const SampleSink& sink);

// The rendering as a WAV file; kCannotWrite, before any work, when it would
// not fit one.
std::optional<FileError> RenderWavFile(const std::filesystem::path& path, MidiOut& out,
                                       FrameSource& source,
                                       std::span<const PerformanceEvent> events,
                                       const RenderSettings& settings);

}  // namespace tonvale
