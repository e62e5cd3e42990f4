#include "devices/synth_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/soundfont_search.h"
#include "devices/synth_core.h"
#include "perform/midi_messages.h"

namespace tonvale {
namespace {

// Every call the translation makes, as "name chan a b".
std::vector<std::string> g_calls;

std::string Call(const char* name, int chan, int a, int b = -1) {
  std::string s = std::string(name) + " " + std::to_string(chan) + " " + std::to_string(a);
  if (b >= 0) s += " " + std::to_string(b);
  return s;
}

const SynthCalls kRecorder{
    [](fluid_synth_t*, int c, int k, int v) {
      return g_calls.push_back(Call("noteon", c, k, v)), 0;
    },
    [](fluid_synth_t*, int c, int k) { return g_calls.push_back(Call("noteoff", c, k)), 0; },
    [](fluid_synth_t*, int c, int k, int v) {
      return g_calls.push_back(Call("key_pressure", c, k, v)), 0;
    },
    [](fluid_synth_t*, int c, int n, int v) { return g_calls.push_back(Call("cc", c, n, v)), 0; },
    [](fluid_synth_t*, int c, int p) { return g_calls.push_back(Call("program", c, p)), 0; },
    [](fluid_synth_t*, int c, int v) {
      return g_calls.push_back(Call("channel_pressure", c, v)), 0;
    },
    [](fluid_synth_t*, int c, int v) { return g_calls.push_back(Call("pitch_bend", c, v)), 0; },
};

std::vector<std::string> Translate(std::uint32_t packed) {
  g_calls.clear();
  PlayShortMessage(nullptr, packed, kRecorder);
  return g_calls;
}

using Calls = std::vector<std::string>;

TEST(PlayShortMessage, EachStatusReachesItsSynthCall) {
  EXPECT_EQ(Translate(PackShortMsg(kNoteOn, 0, 60, 127)), Calls{"noteon 0 60 127"});
  EXPECT_EQ(Translate(PackShortMsg(kNoteOn, 15, 48, 1)), Calls{"noteon 15 48 1"});
  EXPECT_EQ(Translate(PackShortMsg(kNoteOff, 3, 72, 0)), Calls{"noteoff 3 72"});
  EXPECT_EQ(Translate(PackShortMsg(kNoteOff, 3, 72, 64)), Calls{"noteoff 3 72"});
  EXPECT_EQ(Translate(PackShortMsg(kProgramChange, 3, 40, 0)), Calls{"program 3 40"});
  EXPECT_EQ(Translate(PackShortMsg(kControlChange, 9, kAllNotesOff, 0)), Calls{"cc 9 123 0"});
  EXPECT_EQ(Translate(PackShortMsg(kControlChange, 0, 7, 100)), Calls{"cc 0 7 100"});
  EXPECT_EQ(Translate(0x00207FA2), Calls{"key_pressure 2 127 32"});
  EXPECT_EQ(Translate(0x000040D5), Calls{"channel_pressure 5 64"});
}

TEST(PlayShortMessage, PitchBendJoinsTheSevenBitHalves) {
  EXPECT_EQ(Translate(PackShortMsg(kPitchBend, 0, 0x7F, 0x3F)), Calls{"pitch_bend 0 8191"});
  EXPECT_EQ(Translate(PackShortMsg(kPitchBend, 0, 0x00, 0x40)), Calls{"pitch_bend 0 8192"});
  EXPECT_EQ(Translate(PackShortMsg(kPitchBend, 1, 0x7F, 0x7F)), Calls{"pitch_bend 1 16383"});
  EXPECT_EQ(Translate(PackShortMsg(kPitchBend, 14, 0, 0)), Calls{"pitch_bend 14 0"});
}

TEST(PlayShortMessage, NoteOnWithVelocityZeroEndsTheNote) {
  EXPECT_EQ(Translate(PackShortMsg(kNoteOn, 2, 64, 0)), Calls{"noteoff 2 64"});
}

TEST(PlayShortMessage, MalformedMessagesCallNothing) {
  EXPECT_TRUE(Translate(0x00003C3C).empty());
  EXPECT_TRUE(Translate(0x000000F8).empty());
  EXPECT_TRUE(Translate(PackShortMsg(kNoteOn, 0, 0x80, 1)).empty());
  EXPECT_TRUE(Translate(PackShortMsg(kPitchBend, 0, 0, 0x80)).empty());
}

// The same messages on the real synthesizer leave it in the state they ask for.
TEST(PlayShortMessage, RealSynthesizerFollowsTheMessages) {
  auto path = FindSoundfont(SoundfontCandidates());
  ASSERT_TRUE(path.has_value()) << "no General MIDI soundfont installed";
  auto core = SynthCore::Create(*path);
  ASSERT_NE(core, nullptr);
  fluid_synth_t* synth = core->synth();

  core->Send(PackShortMsg(kProgramChange, 3, 40, 0));
  int sfont = -1, bank = -1, preset = -1;
  ASSERT_EQ(fluid_synth_get_program(synth, 3, &sfont, &bank, &preset), FLUID_OK);
  EXPECT_EQ(preset, 40);

  core->Send(PackShortMsg(kPitchBend, 0, 0x7F, 0x3F));
  int bend = -1;
  fluid_synth_get_pitch_bend(synth, 0, &bend);
  EXPECT_EQ(bend, 8191);

  core->Send(PackShortMsg(kControlChange, 5, 7, 33));
  int volume = -1;
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
