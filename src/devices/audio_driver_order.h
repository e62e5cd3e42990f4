// Which FluidSynth audio drivers the built-in synthesizer tries, in order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

// `available`: the drivers this FluidSynth was built with. `override_name`
// (TONVALE_AUDIO_DRIVER) when not empty is the only one tried. Otherwise
// jack, pipewire, pulseaudio and alsa come first, then the rest. jack is
// tried only while a server runs: with none, libjack would try to start one
// and hang.
// sdl2 (needs SDL set up by the program) and file (writes a file) are never
// picked unless named.
std::vector<std::string> AudioDriverOrder(const std::vector<std::string>& available,
                                          bool jack_running, std::string_view override_name);

}  // namespace tonvale
