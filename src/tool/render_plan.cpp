#include "tool/render_plan.h"

#include <algorithm>

#include "perform/instrument.h"
#include "perform/midi_messages.h"
#include "perform/note_sounding.h"
#include "record/playback_scheduler.h"

namespace tonvale {

std::vector<std::uint64_t> EventTimesMs(std::span<const PerformanceEvent> events) {
  std::vector<std::uint64_t> times;
  times.reserve(events.size());
  std::uint64_t at = 0;
  for (const PerformanceEvent& e : events) {
    at += std::max(e.delta_ms, PlaybackScheduler::kMinSpacingMs);
    times.push_back(at);
  }
  return times;
}

std::uint64_t RenderedFrames(std::span<const std::uint64_t> times_ms) {
  const std::uint64_t last = times_ms.empty() ? 0 : times_ms.back();
  return FrameAt(last) + FrameAt(kRenderTailMs);
}

std::vector<std::int16_t> RenderRecording(MidiOut& out, FrameSource& source,
                                          std::span<const PerformanceEvent> events,
                                          const RenderSettings& settings) {
  Instrument inst;
  inst.out = &out;
  inst.settings.key_mode = settings.key_mode;
  inst.settings.program = settings.program;
  inst.settings.auto_bass = settings.auto_bass ? 1 : 0;
  OpenOutput(inst);  // also gives both channels the program

  const std::vector<std::uint64_t> times = EventTimesMs(events);
  std::vector<std::int16_t> samples(RenderedFrames(times) * 2);
  std::uint64_t done = 0;  // frames rendered so far
  const auto render_to = [&](std::uint64_t frame) {
    if (frame > done) source.Render(std::span(samples).subspan(done * 2, (frame - done) * 2));
    done = std::max(done, frame);
  };
  for (std::size_t i = 0; i < events.size(); ++i) {
    render_to(FrameAt(times[i]));
    PlayRecordedEvent(inst, events[i].message, events[i].key_data, events[i].octave_shift);
  }
  SilenceAll(inst);
  render_to(samples.size() / 2);
  return samples;
}

}  // namespace tonvale
