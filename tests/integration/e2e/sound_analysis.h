// What a recording of the synthesizer's sound holds: where notes sound, at
// which pitch, and where the sound server's stream ran dry.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace tonvale::test {

// Raw 16-bit little-endian stereo as parec records it, the channels summed
// to mono at full scale 1.0; digital silence stays exactly 0.
std::vector<float> ReadRawStereo(const std::string& path);

// A sound server plays exact digital silence where a stream came late: runs
// of zero samples at least `min_run` long, with sound on both sides.
std::size_t CountDropouts(std::span<const float> samples, std::size_t min_run);

// The stretches [begin, end) whose level, in blocks of `block` samples,
// stays at or above `fraction` of the loudest block, where gaps shorter
// than `min_gap` blocks are bridged.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};
std::vector<Span> FindNotes(std::span<const float> samples, std::size_t block, double fraction,
                            std::size_t min_gap);

// The fundamental frequency between `low` and `high` Hz: the shortest lag at
// which the normalised autocorrelation nearly reaches its best, refined
// between samples. 0 when there is none.
double Fundamental(std::span<const float> samples, int rate, double low, double high);

}  // namespace tonvale::test
