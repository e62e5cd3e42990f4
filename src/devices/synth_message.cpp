#include "devices/synth_message.h"

#include "devices/short_message.h"

namespace tonvale {

void PlayShortMessage(fluid_synth_t* synth, std::uint32_t packed) {
  const WireMessage msg = ToWireMessage(packed);
  if (msg.size == 0) return;
  const int chan = msg.bytes[0] & 0x0F;
  const int d1 = msg.bytes[1];
  const int d2 = msg.bytes[2];
  switch (msg.bytes[0] & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, chan, d1);
      break;
    case 0x90:
      if (d2 == 0) {
        fluid_synth_noteoff(synth, chan, d1);
      } else {
        fluid_synth_noteon(synth, chan, d1, d2);
      }
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, chan, d1, d2);
      break;
    case 0xB0:
      fluid_synth_cc(synth, chan, d1, d2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, chan, d1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, chan, d1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(synth, chan, d1 | (d2 << 7));
      break;
  }
}

}  // namespace tonvale
