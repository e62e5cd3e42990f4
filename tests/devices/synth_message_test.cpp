#include "devices/synth_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/soundfont_search.h"
#include "devices/synth_core.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

// Every call the translation makes, as "name chan a [b]".
std::vector<std::string> g_calls;

int Record(const char* name, int chan, int a, int b = -1) {
  g_calls.push_back(std::string(name) + " " + std::to_string(chan) + " " + std::to_string(a) +
                    (b >= 0 ? " " + std::to_string(b) : ""));
  return 0;
}

const SynthCalls kRecorder{
    [](fluid_synth_t*, int c, int k, int v) { return Record("noteon", c, k, v); },
    [](fluid_synth_t*, int c, int k) { return Record("noteoff", c, k); },
    [](fluid_synth_t*, int c, int k, int v) { return Record("key_pressure", c, k, v); },
    [](fluid_synth_t*, int c, int n, int v) { return Record("cc", c, n, v); },
    [](fluid_synth_t*, int c, int p) { return Record("program", c, p); },
    [](fluid_synth_t*, int c, int v) { return Record("channel_pressure", c, v); },
    [](fluid_synth_t*, int c, int v) { return Record("pitch_bend", c, v); },
};

TEST(PlayShortMessage, EachStatusReachesItsSynthCall) {
  const struct {
    std::uint32_t packed;
    const char* call;  // "" for none
  } kCases[] = {
      {PackShortMsg(kNoteOn, 15, 48, 1), "noteon 15 48 1"},
      {PackShortMsg(kNoteOn, 2, 64, 0), "noteoff 2 64"},  // velocity 0 ends the note
      {PackShortMsg(kNoteOff, 3, 72, 64), "noteoff 3 72"},
      {PackShortMsg(kProgramChange, 3, 40, 0), "program 3 40"},
      {PackShortMsg(kControlChange, 9, kAllNotesOff, 0), "cc 9 123 0"},
      {0x00207FA2, "key_pressure 2 127 32"},
      {0x000040D5, "channel_pressure 5 64"},
      // Pitch bend joins the seven-bit halves, low byte first.
      {PackShortMsg(kPitchBend, 0, 0x7F, 0x3F), "pitch_bend 0 8191"},
      {PackShortMsg(kPitchBend, 0, 0x00, 0x40), "pitch_bend 0 8192"},
      {PackShortMsg(kPitchBend, 1, 0x7F, 0x7F), "pitch_bend 1 16383"},
      {PackShortMsg(kPitchBend, 14, 0, 0), "pitch_bend 14 0"},
      // Malformed: nothing is called.
      {0x00003C3C, ""},
      {0x000000F8, ""},
      {PackShortMsg(kNoteOn, 0, 0x80, 1), ""},
      {PackShortMsg(kPitchBend, 0, 0, 0x80), ""},
  };
  for (const auto& c : kCases) {
    g_calls.clear();
    PlayShortMessage(nullptr, c.packed, kRecorder);
    EXPECT_EQ(g_calls, *c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{})
        << std::hex << c.packed;
  }
}

// The same messages on the real synthesizer, rendered offline, leave it in the
// state they ask for.
TEST(PlayShortMessage, RealSynthesizerFollowsTheMessages) {
  auto path = FindSoundfont(SoundfontCandidates());
  ASSERT_TRUE(path.has_value()) << "no General MIDI soundfont installed";
  auto core = SynthCore::Create(*path);
  ASSERT_NE(core, nullptr);
  fluid_synth_t* synth = core->synth();

  core->Send(PackShortMsg(kProgramChange, 3, 40, 0));
  int sfont = -1, bank = -1, preset = -1, bend = -1, volume = -1;
  ASSERT_EQ(fluid_synth_get_program(synth, 3, &sfont, &bank, &preset), FLUID_OK);
  EXPECT_EQ(preset, 40);
  core->Send(PackShortMsg(kPitchBend, 0, 0x7F, 0x3F));
  fluid_synth_get_pitch_bend(synth, 0, &bend);
  EXPECT_EQ(bend, 8191);
  core->Send(PackShortMsg(kControlChange, 5, 7, 33));
  fluid_synth_get_cc(synth, 5, 7, &volume);
  EXPECT_EQ(volume, 33);

  EXPECT_EQ(fluid_synth_get_active_voice_count(synth), 0);
  core->Send(PackShortMsg(kNoteOn, 0, 60, 127));
  core->RenderS16(64);
  EXPECT_GT(fluid_synth_get_active_voice_count(synth), 0);
  // All Notes Off lets the note ring out; after a few seconds no voice is left.
  core->Send(PackShortMsg(kControlChange, 0, kAllNotesOff, 0));
  core->RenderS16(static_cast<int>(SynthCore::kSampleRate) * 4);
  EXPECT_EQ(fluid_synth_get_active_voice_count(synth), 0);
}

}  // namespace
}  // namespace tonvale
