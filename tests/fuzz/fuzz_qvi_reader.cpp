// Any bytes given to the recording file reader: it must never crash, and
// whatever it accepts must be a recording this program can play, save again
// unchanged and export to a well-formed MIDI file.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <variant>

#include "files/midi_export.h"
#include "files/qvi_file.h"
#include "files/riff.h"
#include "perform/key_table.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::uint32_t LoadU32BE(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// Header and tracks add up to the whole file, and every track ends with
// the end-of-track event.
void CheckMidi(const std::vector<std::uint8_t>& midi, std::uint16_t tracks) {
  Check(midi.size() >= 14 && LoadU32BE(&midi[4]) == 6);
  Check((midi[10] << 8 | midi[11]) == tracks);
  std::size_t at = 14;
  for (std::uint16_t t = 0; t < tracks; ++t) {
    Check(at + 8 <= midi.size());
    const std::uint32_t length = LoadU32BE(&midi[at + 4]);
    at += 8 + length;
    Check(at <= midi.size() && length >= 3);
    Check(midi[at - 3] == 0xFF && midi[at - 2] == 0x2F && midi[at - 1] == 0x00);
  }
  Check(at == midi.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tonvale::QviReadResult read = tonvale::ParseQviBytes({data, size});
  const auto* file = std::get_if<tonvale::RecordingFile>(&read);
  if (file == nullptr) return 0;

  Check(!file->events.empty());
  Check(tonvale::TonicOffset(file->key_mode).has_value());
  for (const tonvale::PerformanceEvent& e : file->events) {
    Check(e.octave_shift >= -1 && e.octave_shift <= 1);
  }

  const bool bass = file->auto_bass == 1;
  const std::optional<std::vector<std::uint8_t>> saved =
      tonvale::BuildQviBytes(file->events, file->key_mode, bass, {2024, 1, 31});
  Check(saved.has_value());
  const tonvale::QviReadResult again = tonvale::ParseQviBytes(*saved);
  const auto* reread = std::get_if<tonvale::RecordingFile>(&again);
  Check(reread != nullptr && reread->events == file->events && reread->key_mode == file->key_mode &&
        reread->auto_bass == (bass ? 1u : 0u));

  for (const bool with_bass : {false, true}) {
    const std::optional<std::vector<std::uint8_t>> midi =
        tonvale::BuildMidiBytes(file->events, file->key_mode, 127, with_bass);
    Check(midi.has_value());
    CheckMidi(*midi, with_bass ? 2 : 1);
  }
  return 0;
}
