// Where the built-in synthesizer looks for its General MIDI soundfont.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tonvale {

// The system's General MIDI sets, the fullest first: Debian's standard
// FluidR3_GM, then whatever the default-GM alternatives point at (TimGM6mb
// where it is the only one installed), then other distributions' places.
std::vector<std::string> SystemSoundfonts();

// The user's own soundfont: `option` (tonvale --soundfont) when not empty,
// else TONVALE_SOUNDFONT, else "".
std::string ChosenSoundfont(const std::string& option = {});

// The user's own (ChosenSoundfont()) first, then SystemSoundfonts().
std::vector<std::string> SoundfontCandidates();

// Why `path` cannot be a soundfont — it cannot be read, or it is not a
// RIFF "sfbk" form (which covers .sf2 and .sf3) — or "" when it looks like
// one. Only the form header is read: a stray text file or a directory must
// not be offered as a synthesizer that then fails to open.
std::string SoundfontProblem(const std::string& path);

// The first candidate that looks like a soundfont, or nothing.
std::optional<std::string> FindSoundfont(const std::vector<std::string>& candidates);

}  // namespace tonvale
