// Plays a packed short message on a FluidSynth synthesizer. The live output
// and the offline renderer both go through here.
#pragma once

#include <fluidsynth.h>

#include <cstdint>

namespace tonvale {

// The synthesizer entry points a message can reach; a test may pass its own.
struct SynthCalls {
  int (*noteon)(fluid_synth_t*, int chan, int key, int vel);
  int (*noteoff)(fluid_synth_t*, int chan, int key);
  int (*key_pressure)(fluid_synth_t*, int chan, int key, int val);
  int (*cc)(fluid_synth_t*, int chan, int ctrl, int val);
  int (*program_change)(fluid_synth_t*, int chan, int program);
  int (*channel_pressure)(fluid_synth_t*, int chan, int val);
  int (*pitch_bend)(fluid_synth_t*, int chan, int val);
};

inline constexpr SynthCalls kFluidSynthCalls{
    fluid_synth_noteon,    fluid_synth_noteoff,        fluid_synth_key_pressure,
    fluid_synth_cc,        fluid_synth_program_change, fluid_synth_channel_pressure,
    fluid_synth_pitch_bend};

// Malformed messages (see ToWireMessage) are dropped. A note on with
// velocity 0 ends the note, as MIDI says.
void PlayShortMessage(fluid_synth_t* synth, std::uint32_t packed,
                      const SynthCalls& calls = kFluidSynthCalls);

}  // namespace tonvale
