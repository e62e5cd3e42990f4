#include "devices/synth_message.h"

#include <gtest/gtest.h>

#include "devices/soundfont_search.h"
#include "devices/synth_core.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

// Messages played on the real synthesizer, rendered offline, leave it in the
// state they ask for.
TEST(PlayShortMessage, TheSynthesizerFollowsEachMessage) {
  auto path = FindSoundfont(SoundfontCandidates());
  ASSERT_TRUE(path.has_value()) << "no General MIDI soundfont installed";
  auto core = SynthCore::Create(*path);
  ASSERT_NE(core, nullptr);
  fluid_synth_t* synth = core->synth();

  core->Send(PackShortMsg(kProgramChange, 3, 40, 0));
  int sfont = -1, bank = -1, preset = -1, value = -1;
  ASSERT_EQ(fluid_synth_get_program(synth, 3, &sfont, &bank, &preset), FLUID_OK);
  EXPECT_EQ(preset, 40);
  // Pitch bend joins the seven-bit halves, low byte first.
  for (const auto& [low, high, bend] :
       {std::tuple{0x7F, 0x3F, 8191}, {0x00, 0x40, 8192}, {0x7F, 0x7F, 16383}, {0x00, 0x00, 0}}) {
    core->Send(PackShortMsg(kPitchBend, 1, low, high));
    fluid_synth_get_pitch_bend(synth, 1, &value);
    EXPECT_EQ(value, bend);
  }
  core->Send(PackShortMsg(kControlChange, 5, 7, 33));
  fluid_synth_get_cc(synth, 5, 7, &value);
  EXPECT_EQ(value, 33);

  // Malformed: data bytes with the top bit set reach nothing.
  core->Send(PackShortMsg(kNoteOn, 0, 0x80, 100));
  core->Send(PackShortMsg(kPitchBend, 1, 0, 0x80));
  fluid_synth_get_pitch_bend(synth, 1, &value);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(fluid_synth_get_active_voice_count(synth), 0);

  // A note sounds until its note-off, a Note On of velocity 0 or All Notes
  // Off lets it ring out; a few seconds later no voice is left.
  for (const std::uint32_t end :
       {PackShortMsg(kNoteOff, 0, 60, 64), PackShortMsg(kNoteOn, 0, 60, 0),
        PackShortMsg(kControlChange, 0, kAllNotesOff, 0)}) {
    core->Send(PackShortMsg(kNoteOn, 0, 60, 127));
    core->RenderS16(4410);
    ASSERT_GT(fluid_synth_get_active_voice_count(synth), 0);
    core->Send(end);
    core->RenderS16(static_cast<int>(SynthCore::kSampleRate) * 4);
    EXPECT_EQ(fluid_synth_get_active_voice_count(synth), 0) << std::hex << end;
  }
}

}  // namespace
}  // namespace tonvale
