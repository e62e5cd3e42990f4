#include "devices/short_message.h"

namespace tonvale {

WireMessage ToWireMessage(std::uint32_t packed) {
  const auto status = static_cast<std::uint8_t>(packed & 0xFF);
  const auto data1 = static_cast<std::uint8_t>((packed >> 8) & 0xFF);
  const auto data2 = static_cast<std::uint8_t>((packed >> 16) & 0xFF);
  if (status < 0x80 || status >= 0xF0) return {};
  const auto kind = status & 0xF0;
  const std::size_t size = (kind == 0xC0 || kind == 0xD0) ? 2 : 3;
  if (data1 >= 0x80 || (size == 3 && data2 >= 0x80)) return {};
  WireMessage msg;
  msg.bytes = {status, data1, size == 3 ? data2 : std::uint8_t{0}};
  msg.size = size;
  return msg;
}

}  // namespace tonvale
