// A packed short message as the bytes that go on the wire.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tonvale {

struct WireMessage {
  std::array<std::uint8_t, 3> bytes{};
  std::size_t size = 0;  // 0: not a channel voice or mode message; send nothing
};

// Byte 0 of `packed` is the status, bytes 1 and 2 the data. Program change
// and channel pressure carry one data byte, the others two. Anything that is
// not a channel message, or whose data bytes have the top bit set, comes back
// empty: a receiver would read such a byte as a new status.
WireMessage ToWireMessage(std::uint32_t packed);

}  // namespace tonvale
