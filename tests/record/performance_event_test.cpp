#include "record/performance_event.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

namespace tonvale {
namespace {

TEST(PerformanceEvent, SixteenLittleEndianBytesInFieldOrder) {
  const PerformanceEvent ev{0x04030201u, 257, 0xC01E0001u, -1};
  const EventBytes expected = {0x01, 0x02, 0x03, 0x04, 0x01, 0x01, 0x00, 0x00,
                               0x01, 0x00, 0x1E, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(EncodeEvent(ev), expected);
  EXPECT_EQ(DecodeEvent(expected), ev);
  // Written into a larger buffer, exactly 16 bytes are touched.
  std::uint8_t buffer[18];
  std::memset(buffer, 0xAA, sizeof buffer);
  EncodeEvent(ev, std::span<std::uint8_t, kEventBytes>(buffer + 1, kEventBytes));
  EXPECT_EQ(buffer[0], 0xAA);
  EXPECT_EQ(buffer[17], 0xAA);
  EXPECT_EQ(std::memcmp(buffer + 1, expected.data(), kEventBytes), 0);
  // On this (little-endian) host the bytes are the struct's own, as the file
  // reader relies on when it copies events in bulk.
  EXPECT_EQ(std::memcmp(&ev, expected.data(), kEventBytes), 0);

  const PerformanceEvent extremes[] = {
      {0, 256, 0, 0},
      {std::numeric_limits<std::uint32_t>::max(), std::numeric_limits<std::int32_t>::min(),
       std::numeric_limits<std::uint32_t>::max(), std::numeric_limits<std::int32_t>::max()}};
  for (const PerformanceEvent& e : extremes) EXPECT_EQ(DecodeEvent(EncodeEvent(e)), e);
}

}  // namespace
}  // namespace tonvale
