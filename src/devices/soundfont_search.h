// Where the built-in synthesizer looks for its General MIDI soundfont.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tonvale {

// TONVALE_SOUNDFONT when set and not empty, then the usual system places.
std::vector<std::string> SoundfontCandidates();

// The first candidate that is a readable soundfont file (a RIFF "sfbk"
// form, which covers .sf2 and .sf3), or nothing.
std::optional<std::string> FindSoundfont(const std::vector<std::string>& candidates);

}  // namespace tonvale
