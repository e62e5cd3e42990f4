// Any bytes given to the recording file reader: it must never crash, and
// what it accepts must save again unchanged, export to a MIDI file whose
// tracks add up, and have a render plan of the right length.
#include <algorithm>
#include <cstdlib>
#include <variant>

#include "files/midi_export.h"
#include "files/qvi_file.h"
#include "tool/render_plan.h"

using namespace tonvale;

static void Check(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QviReadResult read = ParseQviBytes({data, size});
  const auto* file = std::get_if<RecordingFile>(&read);
  if (file == nullptr) return 0;
  const bool bass = file->auto_bass == 1;
  const QviReadResult again =
      ParseQviBytes(*BuildQviBytes(file->events, file->key_mode, bass, {2024, 1, 31}));
  const auto* reread = std::get_if<RecordingFile>(&again);
  Check(reread && reread->events == file->events && reread->key_mode == file->key_mode &&
        reread->auto_bass == (bass ? 1u : 0u));
  const std::vector<std::uint8_t> midi = *BuildMidiBytes(file->events, file->key_mode, 127, true);
  std::size_t at = 14;  // the header, then two tracks, each with its length
  for (int track = 0; track < 2 && at + 8 <= midi.size(); ++track)
    at += 8 + (midi[at + 4] << 24 | midi[at + 5] << 16 | midi[at + 6] << 8 | midi[at + 7]);
  Check(at == midi.size() && midi[at - 3] == 0xFF && midi[at - 2] == 0x2F && midi[at - 1] == 0);

  // The render plan agrees with exact 128-bit arithmetic.
  unsigned __int128 ms = 0;
  for (const PerformanceEvent& e : file->events) ms += std::max(e.delta_ms, 5u);
  Check(RenderedFrames(file->events) ==
        std::min<unsigned __int128>(ms * 44100 / 1000 + 70560, ~std::uint64_t{0}));
  return 0;
}
