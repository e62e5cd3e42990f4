// The analysis the sound check relies on, against signals whose answer is
// known: WAV layouts as recorders leave them, pitch and partials, gaps from
// a late stream, and where notes begin and end.
#include "sound_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace tonvale::e2e {
namespace {

constexpr int kRate = 44100;

void Put16(std::vector<std::uint8_t>& b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& b, const char* tag) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(tag[i]));
}

struct Format {
  unsigned tag = 1;  // 1 PCM, 3 float, 0xFFFE extensible
  unsigned channels = 2;
  unsigned bits = 16;
  unsigned sub_format = 1;
};

std::vector<std::uint8_t> Header(const Format& f, std::uint32_t data_size,
                                 const std::string& list_body = "") {
  std::vector<std::uint8_t> b;
  PutTag(b, "RIFF");
  Put32(b, 0xFFFFFFFF);
  PutTag(b, "WAVE");
  PutTag(b, "fmt ");
  const bool extensible = f.tag == 0xFFFE;
  Put32(b, extensible ? 40 : 16);
  Put16(b, f.tag);
  Put16(b, f.channels);
  Put32(b, kRate);
  Put32(b, kRate * f.channels * f.bits / 8);
  Put16(b, f.channels * f.bits / 8);
  Put16(b, f.bits);
  if (extensible) {
    Put16(b, 22);
    Put16(b, f.bits);
    Put32(b, 3);
    Put16(b, f.sub_format);
    for (int i = 0; i < 14; ++i) b.push_back(0);
  }
  if (!list_body.empty()) {
    PutTag(b, "LIST");
    Put32(b, static_cast<std::uint32_t>(list_body.size()));
    b.insert(b.end(), list_body.begin(), list_body.end());
    if (list_body.size() % 2) b.push_back(0);  // chunks are padded to even length
  }
  PutTag(b, "data");
  Put32(b, data_size);
  return b;
}

std::vector<float> Tone(double hz, double seconds, std::vector<double> partials = {1.0}) {
  std::vector<float> out(static_cast<std::size_t>(seconds * kRate));
  for (std::size_t i = 0; i < out.size(); ++i) {
    double v = 0;
    for (std::size_t k = 0; k < partials.size(); ++k) {
      v += partials[k] * std::sin(2 * std::numbers::pi * hz * static_cast<double>(k + 1) *
                                  static_cast<double>(i) / kRate);
    }
    out[i] = static_cast<float>(0.3 * v);
  }
  return out;
}

// Odd partials 1/k up to 10 kHz: a square wave without aliasing.
std::vector<double> SquarePartials(double hz) {
  std::vector<double> p;
  for (int k = 1; k * hz < 10000; ++k) p.push_back(k % 2 ? 1.0 / k : 0.0);
  return p;
}

TEST(ParseWav, ReadsTheLayoutsRecordersWrite) {
  // 16-bit stereo, sizes never filled in, a LIST chunk of odd length first.
  auto b = Header({}, 0xFFFFFFFF, "INFO1");
  for (int v : {16384, -8192, -32768, 32767, 0, 0}) Put16(b, static_cast<std::uint16_t>(v));
  b.push_back(0x7F);  // half a sample left by an interrupted write
  auto audio = ParseWav(b);
  ASSERT_TRUE(audio.has_value());
  EXPECT_EQ(audio->rate, kRate);
  ASSERT_EQ(audio->mono.size(), 3u);
  EXPECT_FLOAT_EQ(audio->mono[0], (0.5f - 0.25f) / 2);
  EXPECT_NEAR(audio->mono[1], (-1.0 + 32767.0 / 32768) / 2, 1e-6);
  EXPECT_FLOAT_EQ(audio->mono[2], 0);

  // Declared larger than what is there: what is there. Declared smaller:
  // only that much, whatever follows.
  b = Header({}, 400);
  for (int i = 0; i < 4; ++i) Put16(b, 100);
  EXPECT_EQ(ParseWav(b)->mono.size(), 2u);
  b = Header({}, 4);
  for (int i = 0; i < 4; ++i) Put16(b, 100);
  EXPECT_EQ(ParseWav(b)->mono.size(), 1u);
  b = Header({}, 0);
  for (int i = 0; i < 8; ++i) Put16(b, 100);
  EXPECT_EQ(ParseWav(b)->mono.size(), 4u);

  // 32-bit float mono, plainly and as WAVE_FORMAT_EXTENSIBLE.
  for (const Format f : {Format{.tag = 3, .channels = 1, .bits = 32},
                         Format{.tag = 0xFFFE, .channels = 1, .bits = 32, .sub_format = 3}}) {
    b = Header(f, 8);
    for (float v : {0.75f, -0.125f}) {
      std::uint32_t raw;
      std::memcpy(&raw, &v, 4);
      Put32(b, raw);
    }
    audio = ParseWav(b);
    ASSERT_TRUE(audio.has_value()) << f.tag;
    ASSERT_EQ(audio->mono.size(), 2u);
    EXPECT_EQ(audio->mono[0], 0.75f);
    EXPECT_EQ(audio->mono[1], -0.125f);
  }
}

TEST(ParseWav, RefusesWhatItCannotRead) {
  auto good = Header({}, 4);
  Put32(good, 0);
  ASSERT_TRUE(ParseWav(good).has_value());

  auto b = good;
  b[0] = 'X';
  EXPECT_FALSE(ParseWav(b).has_value()) << "not RIFF";
  b = good;
  b[8] = 'X';
  EXPECT_FALSE(ParseWav(b).has_value()) << "not WAVE";
  for (const Format f :
       {Format{.bits = 24}, Format{.bits = 8}, Format{.tag = 2}, Format{.tag = 3, .bits = 16},
        Format{.channels = 0}, Format{.tag = 0xFFFE, .sub_format = 2}}) {
    b = Header(f, 4);
    Put32(b, 0);
    EXPECT_FALSE(ParseWav(b).has_value()) << f.tag << " " << f.bits << " " << f.channels;
  }
  // No fmt chunk before the data.
  b.clear();
  PutTag(b, "RIFF");
  Put32(b, 16);
  PutTag(b, "WAVE");
  PutTag(b, "data");
  Put32(b, 4);
  Put32(b, 0);
  EXPECT_FALSE(ParseWav(b).has_value());
  // A chunk running past the end, and a header cut short.
  b = Header({}, 4, "INFO");
  b[12 + 24 + 4] = 0xFF;  // the LIST chunk's size, low byte: past the end
  EXPECT_FALSE(ParseWav(b).has_value());
  b = good;
  b.resize(30);
  EXPECT_FALSE(ParseWav(b).has_value());
}

TEST(Pitch, FindsTheFundamentalAndItsPartials) {
  for (double hz : {130.813, 261.626, 523.251}) {
    EXPECT_NEAR(Fundamental(Tone(hz, 0.4), kRate, 60, 2000), hz, hz * 1e-3);
    const auto square = Tone(hz, 0.4, SquarePartials(hz));
    EXPECT_NEAR(Fundamental(square, kRate, 60, 2000), hz, hz * 1e-3);
    EXPECT_LT(HarmonicRatio(square, kRate, hz, 2), 0.02);
    EXPECT_NEAR(HarmonicRatio(square, kRate, hz, 3), 1.0 / 3, 0.02);
  }
  // A second partial that outweighs the fundamental, as the piano's does:
  // still the fundamental, and the ratio tells the timbre.
  const auto piano_like = Tone(261.626, 0.4, {0.4, 1.0, 0.3});
  EXPECT_NEAR(Fundamental(piano_like, kRate, 60, 2000), 261.626, 0.3);
  EXPECT_NEAR(HarmonicRatio(piano_like, kRate, 261.626, 2), 2.5, 0.1);
  // Nothing to measure.
  EXPECT_EQ(Fundamental(std::vector<float>(20000, 0.0f), kRate, 60, 2000), 0);
  EXPECT_EQ(HarmonicRatio(Tone(261.626, 0.01), kRate, 261.626, 2), 0) << "too short";
}

TEST(Pitch, DropoutsAreFoundAndLeftOut) {
  const double hz = 130.813;
  const auto square = Tone(hz, 1.0, SquarePartials(hz));
  // Silence spliced in as often as a busy machine makes a sound server play
  // it for a late stream: the wave after each gap is out of step with the
  // one before.
  std::vector<float> glitched;
  std::size_t gaps = 0;
  for (std::size_t at = 0; at < square.size(); at += 700) {
    const auto end = std::min(square.size(), at + 700);
    glitched.insert(glitched.end(), square.begin() + at, square.begin() + end);
    if (end < square.size()) {
      glitched.insert(glitched.end(), 60 + 40 * (gaps % 3), 0.0f);
      ++gaps;
    }
  }
  EXPECT_EQ(CountDropouts(glitched), gaps);
  EXPECT_EQ(Stretches(glitched).size(), gaps + 1);
  EXPECT_EQ(CountDropouts(square), 0u);
  EXPECT_EQ(Stretches(square).size(), 1u);
  EXPECT_NEAR(Fundamental(glitched, kRate, 60, 2000), hz, hz * 1e-3);
  EXPECT_LT(HarmonicRatio(glitched, kRate, hz, 2), 0.02);

  // Only runs of kMinDropout to kMaxDropout zeros are dropouts; shorter
  // ones are where the wave crosses zero, longer ones are real silence.
  for (const auto& [run, dropouts] : std::vector<std::pair<std::size_t, std::size_t>>{
           {kMinDropout - 1, 0}, {kMinDropout, 1}, {kMaxDropout, 1}, {kMaxDropout + 1, 0}}) {
    std::vector<float> s(100, 0.5f);
    s.insert(s.begin() + 50, run, 0.0f);
    EXPECT_EQ(CountDropouts(s), dropouts) << run;
    EXPECT_EQ(Stretches(s).size(), dropouts + 1) << run;
  }
  // At the very start and end too.
  std::vector<float> edges(10, 0.0f);
  edges.insert(edges.end(), 100, 0.5f);
  edges.insert(edges.end(), 10, 0.0f);
  EXPECT_EQ(CountDropouts(edges), 2u);
  ASSERT_EQ(Stretches(edges).size(), 1u);
  EXPECT_EQ(Stretches(edges)[0].begin, 10u);
  EXPECT_EQ(Stretches(edges)[0].end, 110u);
}

TEST(Envelope, MeasuresLevelAndFindsNotes) {
  const auto sine = Tone(100, 0.1);  // one whole cycle per 10 ms block
  const auto envelope = RmsEnvelope(sine, 441);
  ASSERT_EQ(envelope.size(), 10u);
  for (double level : envelope) EXPECT_NEAR(level, 0.3 / std::sqrt(2.0), 1e-4);
  EXPECT_EQ(RmsEnvelope(std::vector<float>(440, 1.0f), 441).size(), 0u) << "partial block";

  // Dropouts do not lower the level: a block with one keeps the level of
  // the rest, a block that is all dropout repeats the one before. Long
  // silence is silence.
  std::vector<float> steady(441 * 3, 0.5f);
  std::fill(steady.begin() + 100, steady.begin() + 400, 0.0f);
  std::fill(steady.begin() + 441, steady.begin() + 882, 0.0f);
  steady.insert(steady.end(), kMaxDropout + 1, 0.0f);
  const auto levels = RmsEnvelope(steady, 441);
  ASSERT_EQ(levels.size(), 8u);
  EXPECT_DOUBLE_EQ(levels[0], 0.5);
  EXPECT_DOUBLE_EQ(levels[1], 0.5);
  EXPECT_DOUBLE_EQ(levels[2], 0.5);
  EXPECT_DOUBLE_EQ(levels[3], 0.0);
  EXPECT_DOUBLE_EQ(levels[7], 0.0);

  // Silence; a note with a short dip (a dropout) and a reverb-like floor
  // after it; a quieter note; a note still sounding at the end.
  std::vector<double> e(20, 0.0);
  e.insert(e.end(), 30, 1.0);
  e.insert(e.end(), 3, 0.01);
  e.insert(e.end(), 30, 1.0);
  for (int i = 1; i <= 20; ++i) e.push_back(std::pow(0.7, i));
  e.insert(e.end(), 40, 0.02);
  const std::size_t second = e.size();
  e.insert(e.end(), 2, 0.2);  // the attack, below the start threshold
  e.insert(e.end(), 30, 0.5);
  const std::size_t second_end = e.size();
  e.insert(e.end(), 25, 0.0);
  const std::size_t third = e.size();
  e.insert(e.end(), 5, 0.9);

  const auto notes = FindNotes(e, 0.3, 0.03, 20);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].start, 20u);
  // 0.7^10 is the first level below 0.03.
  EXPECT_EQ(notes[0].end, 20u + 63 + 9);
  EXPECT_EQ(notes[1].start, second + 2);
  EXPECT_EQ(notes[1].end, second_end);
  EXPECT_EQ(notes[2].start, third);
  EXPECT_EQ(notes[2].end, e.size());

  EXPECT_TRUE(FindNotes({}, 0.3, 0.03, 20).empty());
  EXPECT_TRUE(FindNotes(std::vector<double>(50, 0.0), 0.3, 0.03, 20).empty());
}

}  // namespace
}  // namespace tonvale::e2e
