// What a recording of the program's sound holds: the loudness envelope,
// where notes start, their pitch and how they die away.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace tonvale::test {

// Raw 16-bit little-endian stereo as parec records it, channels averaged to
// full scale 1.0; a half frame at the end left out.
std::vector<float> ReadRawStereo(const std::string& path);

// A sound server plays exact digital silence where a stream was late: runs
// of zero samples, at least `kMinDropout` and at most `kMaxDropout` long
// (longer runs are real silence). Playing resumes where the stream was, so
// the wave jumps at each one; the analysis below leaves them out.
inline constexpr std::size_t kMinDropout = 8;
inline constexpr std::size_t kMaxDropout = 2205;  // 50 ms at 44.1 kHz

struct Stretch {
  std::size_t begin = 0;
  std::size_t end = 0;
};
// The samples between dropouts.
std::vector<Stretch> Stretches(std::span<const float> samples);

// Root mean square of consecutive blocks of `hop` samples, dropouts left
// out; a block that is all dropout repeats the level before it.
std::vector<double> RmsEnvelope(std::span<const float> samples, std::size_t hop);

// A note in an envelope: from the first block at or above `on` times the
// loudest block until the level stays below `off` times it for `min_gap`
// blocks. `end` is the first block of that quiet stretch.
struct NoteSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};
std::vector<NoteSpan> FindNotes(std::span<const double> envelope, double on, double off,
                                std::size_t min_gap);

// How a note dies away: the envelope from block `event` (its key came up) on,
// in dB against the mean level of blocks [from, to) while it was held.
std::vector<double> DecayDb(std::span<const double> envelope, std::size_t from, std::size_t to,
                            std::size_t event);
// The blocks before `db` first falls below `limit`: all of them when it never does.
std::size_t BlocksAbove(std::span<const double> db, double limit);

// The fundamental frequency between `low` and `high` Hz: the shortest lag at
// which the normalised autocorrelation nearly reaches its best, refined
// between samples. Only pairs of samples within one stretch count. 0 when no
// stretch is long enough.
double Fundamental(std::span<const float> samples, int rate, double low, double high);

// The strength of partial `k` * `f0` against `f0`, from Hann-windowed
// stretches of at least three periods; 0 when there are none.
double HarmonicRatio(std::span<const float> samples, int rate, double f0, int k);

}  // namespace tonvale::test
