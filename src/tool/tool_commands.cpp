#include "tool/tool_commands.h"

#include <cstdio>
#include <memory>
#include <variant>

#include "devices/soundfont_search.h"
#include "devices/synth_core.h"
#include "files/midi_export.h"
#include "files/qvi_file.h"
#include "files/safe_write.h"
#include "practice/keyboard_score.h"
#include "practice/song_events.h"
#include "practice/song_file.h"
#include "practice/song_midi.h"
#include "tool/render_plan.h"
#include "tool/wav_file.h"

namespace tonvale {

namespace {

// The offline synthesizer as an output device that is always open.
class SynthOutput : public MidiOut, public FrameSource {
 public:
  explicit SynthOutput(SynthCore& core) : core_(core) {}
  int DeviceCount() override { return 1; }
  std::optional<std::string> DescribeDevice(int) override { return "offline synthesizer"; }
  bool Open(int) override { return true; }
  void Send(std::uint32_t packed) override { core_.Send(packed); }
  void Close() override {}
  void Render(std::span<std::int16_t> out) override { core_.Render(out); }

 private:
  SynthCore& core_;
};

int Failed(std::ostream& err, FileError error, const std::string& name) {
  err << FileMessage(error, name) << '\n';
  return kToolFileFailed;
}

// A write that failed because the tool was told to stop says so.
int WriteFailed(std::ostream& err, FileError error, const std::string& name) {
  if (WritesInterrupted()) {
    err << "Interrupted: " << name << " is not written.\n";
    return kToolFileFailed;
  }
  return Failed(err, error, name);
}

std::string Hex8(std::uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08x", value);
  return text;
}

void PrintInfo(const RecordingFile& file, std::ostream& out) {
  out << "events " << file.events.size() << '\n'
      << "key_mode " << file.key_mode << '\n'
      << "auto_bass " << file.auto_bass << '\n';
  for (const PerformanceEvent& e : file.events) {
    out << e.delta_ms << ' ' << e.message << ' ' << Hex8(e.key_data) << ' ' << e.octave_shift
        << '\n';
  }
}

int Render(const ToolOptions& options, std::span<const PerformanceEvent> events,
           const RenderSettings& settings, std::ostream& err) {
  // Refused before any work: the WAV file could not say its own size.
  if (RenderedFrames(events, settings.rate) > kMaxWavFrames) {
    err << "Cannot render " << options.input << ": it would sound longer than the "
        << kMaxWavFrames / settings.rate / 60 << " minutes a WAV file can hold; " << options.output
        << " is not written.\n";
    return kToolFileFailed;
  }
  std::optional<std::string> soundfont = options.soundfont;
  if (!soundfont) soundfont = FindSoundfont(SoundfontCandidates());
  if (!soundfont) {
    err << "No General MIDI soundfont found; name one with --soundfont.\n";
    return kToolFileFailed;
  }
  // Rendered at the rate the WAV header states.
  const std::unique_ptr<SynthCore> core = SynthCore::Create(*soundfont, settings.rate);
  if (!core) {
    err << "Cannot load the soundfont " << *soundfont << ".\n";
    return kToolFileFailed;
  }
  SynthOutput synth(*core);
  if (const std::optional<FileError> error =
          RenderWavFile(PathFromUtf8(options.output), synth, synth, events, settings)) {
    return WriteFailed(err, *error, options.output);
  }
  return kToolOk;
}

// Bars of the song: each bar line ends one, and notes after the last bar
// line make one more (an upbeat's bar counts as one).
std::size_t BarCount(const Song& song) {
  const bool tail = song.bar_ends.empty() || song.bar_ends.back() < song.length;
  return song.bar_ends.size() + (tail ? 1 : 0);
}

void PrintSongInfo(const Song& song, std::ostream& out) {
  const std::int64_t tenths = (MsAtTick(song, song.length) + 50) / 100;
  out << "title " << song.title << '\n'
      << "key " << song.key_text << '\n'
      << "time " << song.HeaderText().substr(song.key_text.size() + 1) << '\n'
      << "tempo " << song.tempo << '\n'
      << "notes " << song.PlayedCount() << '\n'
      << "bars " << BarCount(song) << '\n'
      << "seconds " << tenths / 10 << '.' << tenths % 10 << '\n';
}

// A song (or, for keys, a recording read as one).
int RunSong(const ToolOptions& options, std::ostream& out, std::ostream& err) {
  SongReadResult read = ReadSongFile(PathFromUtf8(options.input));
  if (const SongError* error = std::get_if<SongError>(&read)) {
    err << SongErrorMessage(*error, options.input) << '\n';
    return kToolFileFailed;
  }
  const Song& song = std::get<Song>(read);
  const RenderSettings settings{options.key_mode.value_or(song.key_mode), options.program,
                                options.auto_bass.value_or(false)};
  switch (options.action) {
    case ToolAction::kKeys:
      out << KeyboardScore(song) << '\n';
      return kToolOk;
    case ToolAction::kInfo:
      PrintSongInfo(song, out);
      return kToolOk;
    case ToolAction::kExport:
      if (const std::optional<FileError> error =
              ExportSongMidiFile(PathFromUtf8(options.output), song, settings.key_mode,
                                 settings.program, settings.auto_bass)) {
        return Failed(err, *error, options.output);
      }
      return kToolOk;
    case ToolAction::kRender:
      return Render(options, SongEvents(song), settings, err);
  }
  return kToolUsageError;
}

}  // namespace

int RunTool(const ToolOptions& options, std::ostream& out, std::ostream& err) {
  if (options.action == ToolAction::kKeys || !IsRecordingFile(PathFromUtf8(options.input))) {
    return RunSong(options, out, err);
  }
  QviReadResult read = ReadQviFile(PathFromUtf8(options.input));
  if (const FileError* error = std::get_if<FileError>(&read)) {
    return Failed(err, *error, options.input);
  }
  const RecordingFile& file = std::get<RecordingFile>(read);
  const RenderSettings settings{options.key_mode.value_or(file.key_mode), options.program,
                                options.auto_bass.value_or(file.auto_bass == 1), options.rate};
  switch (options.action) {
    case ToolAction::kInfo:
      PrintInfo(file, out);
      return kToolOk;
    case ToolAction::kExport:
      if (const std::optional<FileError> error =
              ExportMidiFile(PathFromUtf8(options.output), file.events, settings.key_mode,
                             settings.program, settings.auto_bass)) {
        return WriteFailed(err, *error, options.output);
      }
      return kToolOk;
    case ToolAction::kRender:
      return Render(options, file.events, settings, err);
    case ToolAction::kKeys:
      break;
  }
  return kToolUsageError;
}

}  // namespace tonvale
