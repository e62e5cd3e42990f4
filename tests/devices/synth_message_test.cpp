#include "devices/synth_message.h"

#include <gtest/gtest.h>

#include "devices/soundfont_search.h"
#include "devices/synth_core.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

// On the real synthesizer, rendered offline.
TEST(PlayShortMessage, TheSynthesizerFollowsEachMessage) {
  auto core = SynthCore::Create(FindSoundfont(SoundfontCandidates()).value_or(""));
  ASSERT_NE(core, nullptr) << "no General MIDI soundfont installed";
  int sfont = -1, bank = -1, preset = -1, bend = -1;
  core->Send(PackShortMsg(kProgramChange, 3, 40, 0));
  fluid_synth_get_program(core->synth(), 3, &sfont, &bank, &preset);
  EXPECT_EQ(preset, 40);
  core->Send(PackShortMsg(kPitchBend, 1, 0x7F, 0x3F));  // the halves joined, low byte first
  fluid_synth_get_pitch_bend(core->synth(), 1, &bend);
  EXPECT_EQ(bend, 8191);
  // A Note On of velocity 0 ends the note: it rings out, and a few seconds
  // later no voice is left.
  core->Send(PackShortMsg(kNoteOn, 0, 60, 127));
  core->RenderS16(4410);
  EXPECT_GT(fluid_synth_get_active_voice_count(core->synth()), 0);
  core->Send(PackShortMsg(kNoteOn, 0, 60, 0));
  core->RenderS16(4 * 44100);
  EXPECT_EQ(fluid_synth_get_active_voice_count(core->synth()), 0);
}

}  // namespace
}  // namespace tonvale
