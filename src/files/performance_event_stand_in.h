// Temporary: the performance event as the record module will define it, until
// record/performance_event.h exists. Same shape: four 32-bit fields.
#pragma once

#include <cstdint>

namespace tonvale {

struct PerformanceEvent {
  std::uint32_t delta_ms;
  std::int32_t message;
  std::uint32_t key_data;
  std::int32_t octave_shift;
};

}  // namespace tonvale
