// A MIDI output for tests: keeps every packed message it is given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "perform/midi_output.h"

namespace tonvale::test {

class RecordingSink : public MidiOut {
 public:
  // Devices offered: names[0..n-1]; the default output is described as
  // `mapper_name` unless that is empty.
  std::vector<std::string> names{"Test Synth"};
  std::string mapper_name = "MIDI Mapper";
  bool fail_open = false;

  std::vector<std::uint32_t> sent;
  int opened_device = -2;  // -2: nothing open
  int open_calls = 0;
  int close_calls = 0;

  int DeviceCount() override { return static_cast<int>(names.size()); }
  std::optional<std::string> DescribeDevice(int device) override {
    if (device == -1) {
      if (mapper_name.empty()) return std::nullopt;
      return mapper_name;
    }
    if (device < 0 || device >= DeviceCount()) return std::nullopt;
    return names[static_cast<std::size_t>(device)];
  }
  bool Open(int device) override {
    ++open_calls;
    if (fail_open) return false;
    opened_device = device;
    return true;
  }
  void Send(std::uint32_t packed) override {
    if (opened_device != -2) sent.push_back(packed);
  }
  void Close() override {
    ++close_calls;
    opened_device = -2;
  }

  // Messages as bytes, for readable expectations: {0x90, 0x3C, 0x7F}.
  static std::vector<std::uint8_t> Bytes(std::uint32_t packed) {
    return {static_cast<std::uint8_t>(packed & 0xFF),
            static_cast<std::uint8_t>((packed >> 8) & 0xFF),
            static_cast<std::uint8_t>((packed >> 16) & 0xFF)};
  }
  void Clear() { sent.clear(); }
};

}  // namespace tonvale::test
