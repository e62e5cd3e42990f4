// The one seam between the instrument and whatever makes the sound.
//
// A MidiOut knows the output devices of the system, opens one of them at a
// time and sends packed short messages to it. Device -1 is the default
// output; devices 0..DeviceCount()-1 are the real ones in a fixed order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tonvale {

class MidiOut {
 public:
  virtual ~MidiOut() = default;

  // Number of output devices (0..n-1). Must not block for long.
  virtual int DeviceCount() = 0;

  // Display name of a device, or nothing when it cannot be described.
  // Device -1 is the default output ("MIDI Mapper").
  virtual std::optional<std::string> DescribeDevice(int device) = 0;

  // Opens `device` for output; a device already open is closed first.
  // Returns false when the device cannot be opened (nothing is then open).
  virtual bool Open(int device) = 0;

  // Sends one packed short message: byte 0 status, byte 1 and 2 data.
  // Sending with no device open does nothing.
  virtual void Send(std::uint32_t packed) = 0;

  // Closes the open device; does nothing when none is open.
  virtual void Close() = 0;
};

}  // namespace tonvale
