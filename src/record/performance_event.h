// One recorded key press or release: 16 bytes, four little-endian 32-bit
// fields. The same bytes go unchanged into the data chunk of a recording
// file, so the layout is binding.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace tonvale {

struct PerformanceEvent {
  std::uint32_t delta_ms;     // since the previous event (the first: since recording began)
  std::int32_t message;       // kKeyDown (256) or kKeyUp (257)
  std::uint32_t key_data;     // the key parameter as received; scan code in bits 16..23
  std::int32_t octave_shift;  // -1, 0 or +1

  friend constexpr bool operator==(const PerformanceEvent&, const PerformanceEvent&) = default;
};

inline constexpr std::size_t kEventBytes = 16;

static_assert(sizeof(PerformanceEvent) == kEventBytes);
static_assert(alignof(PerformanceEvent) == 4);
static_assert(offsetof(PerformanceEvent, delta_ms) == 0);
static_assert(offsetof(PerformanceEvent, message) == 4);
static_assert(offsetof(PerformanceEvent, key_data) == 8);
static_assert(offsetof(PerformanceEvent, octave_shift) == 12);
static_assert(std::is_standard_layout_v<PerformanceEvent>);
static_assert(std::is_trivially_copyable_v<PerformanceEvent>);

using EventBytes = std::array<std::uint8_t, kEventBytes>;

namespace event_detail {

constexpr void PutLe32(std::uint8_t* out, std::uint32_t v) {
  out[0] = static_cast<std::uint8_t>(v);
  out[1] = static_cast<std::uint8_t>(v >> 8);
  out[2] = static_cast<std::uint8_t>(v >> 16);
  out[3] = static_cast<std::uint8_t>(v >> 24);
}

constexpr std::uint32_t GetLe32(const std::uint8_t* in) {
  return static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
         (static_cast<std::uint32_t>(in[2]) << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
}

}  // namespace event_detail

// Writes `ev` as 16 little-endian bytes, whatever the byte order of the host.
constexpr void EncodeEvent(const PerformanceEvent& ev, std::span<std::uint8_t, kEventBytes> out) {
  event_detail::PutLe32(out.data() + 0, ev.delta_ms);
  event_detail::PutLe32(out.data() + 4, static_cast<std::uint32_t>(ev.message));
  event_detail::PutLe32(out.data() + 8, ev.key_data);
  event_detail::PutLe32(out.data() + 12, static_cast<std::uint32_t>(ev.octave_shift));
}

constexpr EventBytes EncodeEvent(const PerformanceEvent& ev) {
  EventBytes bytes{};
  EncodeEvent(ev, bytes);
  return bytes;
}

// Reads one event back from 16 little-endian bytes; every bit pattern is a
// valid event here, judging the values is the reader's business.
constexpr PerformanceEvent DecodeEvent(std::span<const std::uint8_t, kEventBytes> in) {
  return PerformanceEvent{
      event_detail::GetLe32(in.data() + 0),
      static_cast<std::int32_t>(event_detail::GetLe32(in.data() + 4)),
      event_detail::GetLe32(in.data() + 8),
      static_cast<std::int32_t>(event_detail::GetLe32(in.data() + 12)),
  };
}

}  // namespace tonvale
