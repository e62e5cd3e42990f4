// One repaint of the song band at scale 2 (two device pixels per logical
// pixel), offscreen: a full line of a dense song, half of it judged, the
// next note highlighted. The band is repainted on every key press and
// whenever playing along moves on, so it must stay well within a frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>
#include <variant>

#include "practice/practice_session.h"
#include "practice/song_reader.h"
#include "shell/song_band.h"

namespace {

// Bars of everything the band draws: accidentals, octave dots both ways,
// one and two underlines, dots, dashes, ties, triplets.
std::string DenseSong() {
  std::string text = "title=密集的一行\n1=D 4/4 4=100\n";
  for (int bar = 0; bar < 40; ++bar) {
    text += "s#1' s2 s3 s4, 3[ q1 q2 q3 ] 5. q6 | 2 ~ 2 - b7, |\n";
  }
  return text;
}

void BM_SongBandRepaintAtScale2(benchmark::State& state) {
  const tonvale::SongReadResult read = tonvale::ReadSongText(DenseSong());
  if (!std::holds_alternative<tonvale::Song>(read)) {
    state.SkipWithError("the song does not read");
    return;
  }
  const tonvale::Song& song = std::get<tonvale::Song>(read);
  tonvale::PracticeSession session(song);
  session.Start(tonvale::PracticeMode::kWaiting, 100, 0);
  // Half the first line judged, right and wrong by turns.
  for (int i = 0; i < 8; ++i) {
    if (i % 2 != 0) session.KeyDown(30, 0, 0);  // a wrong key first
    const tonvale::SongKey key = song.notes[*session.NextNote()].key;
    session.KeyDown(key.scan_code, key.shift, 0);
  }
  tonvale::SongBand band;
  band.SetSong(&song, &session);
  band.resize(1000, band.sizeHint().height());
  band.show();
  QApplication::processEvents();
  for (auto _ : state) {
    band.repaint();
  }
  state.counters["device_pixel_ratio"] = band.devicePixelRatioF();
  state.counters["items_on_line"] =
      static_cast<double>(band.Layout().lines[band.CurrentLine()].end_item -
                          band.Layout().lines[band.CurrentLine()].first_item);
}
BENCHMARK(BM_SongBandRepaintAtScale2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", "2");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
