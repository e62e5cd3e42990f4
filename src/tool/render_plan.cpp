#include "tool/render_plan.h"

#include <algorithm>
#include <vector>

#include "perform/instrument.h"
#include "perform/midi_messages.h"
#include "perform/note_sounding.h"
#include "perform/sustain_pedal.h"
#include "record/playback_scheduler.h"
#include "tool/wav_file.h"

namespace tonvale {

namespace {

constexpr std::uint64_t kMaxU64 = std::numeric_limits<std::uint64_t>::max();

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
  return a > kMaxU64 - b ? kMaxU64 : a + b;
}

// When the event after one at `at_ms` plays.
std::uint64_t NextEventMs(std::uint64_t at_ms, const PerformanceEvent& event) {
  return SaturatingAdd(at_ms, std::max(event.delta_ms, PlaybackScheduler::kMinSpacingMs));
}

std::uint64_t EndFrame(std::uint64_t last_ms, std::uint32_t rate) {
  return SaturatingAdd(FrameAt(last_ms, rate), FrameAt(kRenderTailMs, rate));
}

}  // namespace

std::uint64_t RenderedFrames(std::span<const PerformanceEvent> events, std::uint32_t rate) {
  std::uint64_t at_ms = 0;
  for (const PerformanceEvent& e : events) at_ms = NextEventMs(at_ms, e);
  return EndFrame(at_ms, rate);
}

bool RenderRecording(MidiOut& out, FrameSource& source, std::span<const PerformanceEvent> events,
                     const RenderSettings& settings, const SampleSink& sink) {
  Instrument inst;
  inst.out = &out;
  inst.settings.key_mode = settings.key_mode;
  inst.settings.program = settings.program;
  inst.settings.auto_bass = settings.auto_bass ? 1 : 0;
  OpenOutput(inst);  // also gives both channels the program

  std::vector<std::int16_t> block(kRenderBlockFrames * 2);
  std::uint64_t done = 0;  // frames rendered so far
  const auto render_to = [&](std::uint64_t frame) {
    while (done < frame) {
      const auto frames =
          static_cast<std::size_t>(std::min<std::uint64_t>(frame - done, kRenderBlockFrames));
      const std::span<std::int16_t> part(block.data(), frames * 2);
      source.Render(part);
      if (!sink(part)) return false;
      done += frames;
    }
    return true;
  };
  std::uint64_t at_ms = 0;
  for (const PerformanceEvent& e : events) {
    at_ms = NextEventMs(at_ms, e);
    if (!render_to(FrameAt(at_ms, settings.rate))) return false;
    PlayRecordedEvent(inst, e.message, e.key_data, e.octave_shift);
  }
  ReleasePedal(inst);  // as a stop does: the pedal first, then every channel
  SilenceAll(inst);
  return render_to(EndFrame(at_ms, settings.rate));
}

std::optional<FileError> RenderWavFile(const std::filesystem::path& path, MidiOut& out,
                                       FrameSource& source,
                                       std::span<const PerformanceEvent> events,
                                       const RenderSettings& settings) {
  WavWriter wav;
  if (const std::optional<FileError> error =
          wav.Open(path, RenderedFrames(events, settings.rate), settings.rate)) {
    return error;
  }
  RenderRecording(out, source, events, settings,
                  [&wav](std::span<const std::int16_t> samples) { return wav.Write(samples); });
  return wav.Finish();
}

}  // namespace tonvale
