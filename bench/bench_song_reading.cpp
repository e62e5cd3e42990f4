// Opening a song of 10,000 notes: reading its text and laying out the band's
// lines (the goal: under 20 ms together), and each step alone. The song and
// its layout take a megabyte or two, which the C library hands back to the
// system between runs: where page faults are dear (in a virtual machine)
// most of the first figure is the kernel faulting that memory in afresh, as
// it does when the window opens a song.
#include <benchmark/benchmark.h>

#include <string>
#include <variant>

#include "practice/band_layout.h"
#include "practice/song_reader.h"

namespace {

constexpr int kNotes = 10000;

// Bars of 4/4 using most of the notation: quavers, semiquavers, dots,
// dashes, ties, triplets, accidentals, octave marks, rests; then crotchets
// up to the count.
std::string LongSong() {
  struct Bar {
    const char* text;
    int notes;
  };
  constexpr Bar kBars[] = {
      {"1 2 3 4 |", 4},   {"q5 q6 q5 q4 3 1 |", 6},
      {"5. q3 2 - |", 3}, {"3[ q1 q2 q3 ] 3[ q4 q5 q6 ] s7 s1' s2' s3' 1' |", 11},
      {"1 - ~ 1 2 |", 3}, {"#4 b7, 1' 0 |", 4}};
  std::string text = "title=Long\n1=D 4/4 4=120\n";
  int notes = 0;
  for (int bar = 0;; ++bar) {
    const Bar& b = kBars[bar % std::size(kBars)];
    if (notes + b.notes > kNotes) break;
    text += b.text;
    text += bar % 4 == 3 ? '\n' : ' ';
    notes += b.notes;
  }
  for (; notes < kNotes; ++notes) text += " 1";
  return text;
}

constexpr tonvale::BandWidths kWidths{180, 24, 8, 14, 4, 6};  // scale 2, roughly
constexpr std::int32_t kLineWidth = 2400;

tonvale::Song Read(const std::string& text) {
  return std::get<tonvale::Song>(tonvale::ReadSongText(text));
}

void BM_ReadAndLayOutSong(benchmark::State& state) {
  const std::string text = LongSong();
  for (auto _ : state) {
    const tonvale::Song song = Read(text);
    benchmark::DoNotOptimize(tonvale::LayoutBand(song, kWidths, kLineWidth));
  }
  state.counters["notes"] = static_cast<double>(Read(text).notes.size());
}
BENCHMARK(BM_ReadAndLayOutSong)->Unit(benchmark::kMillisecond);

void BM_ReadSong(benchmark::State& state) {
  const std::string text = LongSong();
  for (auto _ : state) benchmark::DoNotOptimize(Read(text));
}
BENCHMARK(BM_ReadSong)->Unit(benchmark::kMillisecond);

void BM_LayOutSong(benchmark::State& state) {
  const tonvale::Song song = Read(LongSong());
  for (auto _ : state) benchmark::DoNotOptimize(tonvale::LayoutBand(song, kWidths, kLineWidth));
}
BENCHMARK(BM_LayOutSong)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
