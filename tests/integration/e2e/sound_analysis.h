// What a recording of the synthesizer holds.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace tonvale::test {

// Raw 16-bit little-endian stereo as parec records it, summed to mono at
// full scale 1.0; digital silence stays exactly 0.
std::vector<float> ReadRawStereo(const std::string& path);

// Where a stream came late the server plays exact digital silence: runs of
// at least `min_run` zero samples with sound on both sides.
std::size_t CountDropouts(std::span<const float> samples, std::size_t min_run);

// The notes: stretches of blocks of `block` samples at or above `fraction`
// of the loudest block's level, gaps of fewer than `min_gap` blocks bridged.
std::vector<std::span<const float>> FindNotes(std::span<const float> samples, std::size_t block,
                                              double fraction, std::size_t min_gap);

// The fundamental between `low` and `high` Hz, by autocorrelation; 0: none.
double Fundamental(std::span<const float> samples, int rate, double low, double high);

}  // namespace tonvale::test
