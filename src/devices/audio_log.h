// FluidSynth and ALSA print a complaint for every audio driver that is tried
// and rejected. Their messages come here instead: while a capture runs (the
// built-in synthesizer opening) FluidSynth's errors are kept for the one
// message that says why no output started; at other times its errors are
// printed as "fluidsynth: ..." (its warnings never); ALSA's are dropped,
// since every caller of ALSA reports its own failures. What GLib passes on
// for FluidSynth's soundfont readers is dropped during a capture too.
#pragma once

#include <string>
#include <vector>

namespace tonvale {

// Installs the handlers; later calls do nothing.
void RouteAudioLibraryMessages();

class AudioLogCapture {
 public:
  AudioLogCapture();
  ~AudioLogCapture();
  AudioLogCapture(const AudioLogCapture&) = delete;
  AudioLogCapture& operator=(const AudioLogCapture&) = delete;

  // The last error FluidSynth reported since the capture began or since the
  // last call, or "" when none.
  std::string TakeLastError();
  // Its warnings since then: what a driver got instead of what it asked.
  std::vector<std::string> TakeWarnings();
};

}  // namespace tonvale
