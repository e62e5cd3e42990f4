// One entry of the device list: something that can be opened and played.
#pragma once

#include <cstdint>
#include <string>

namespace tonvale {

class OutputDevice {
 public:
  virtual ~OutputDevice() = default;
  virtual std::string Name() const = 0;
  // False when it cannot be opened; then nothing is open.
  virtual bool Open() = 0;
  // Only called while open; must not allocate or block.
  virtual void Send(std::uint32_t packed) = 0;
  virtual void Close() = 0;
};

}  // namespace tonvale
