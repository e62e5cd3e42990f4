// Plays a packed short message on a FluidSynth synthesizer. The live output
// and the offline renderer both go through here.
#pragma once

#include <fluidsynth.h>

#include <cstdint>

namespace tonvale {

// Malformed messages (see ToWireMessage) are dropped. A note on with
// velocity 0 ends the note, as MIDI says.
void PlayShortMessage(fluid_synth_t* synth, std::uint32_t packed);

}  // namespace tonvale
