// The MIDI outputs of this computer as one device list: the built-in
// synthesizer (when a soundfont is found), then the ALSA ports, then the
// JACK ports. Device -1, the "MIDI Mapper", is the first of them, which is
// the built-in synthesizer whenever there is one.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "devices/builtin_synth.h"
#include "devices/midi_ports.h"
#include "devices/output_device.h"
#include "perform/midi_output.h"

namespace tonvale {

struct DeviceSearch {
  // The user's own soundfont (tonvale --soundfont, TONVALE_SOUNDFONT), tried
  // first; the system's sets behind it, the first that loads wins.
  std::string chosen_soundfont{};
  std::vector<std::string> soundfonts{};
  PortApis ports{};
  AudioOptions audio{};

  // The environment and the system paths.
  static DeviceSearch FromEnvironment();
};

class SystemMidiOut : public MidiOut {
 public:
  static constexpr const char* kMapperName = "MIDI Mapper";

  // Looks for the soundfont and lists the ports, once.
  explicit SystemMidiOut(const DeviceSearch& search = DeviceSearch::FromEnvironment());
  // A list made by hand, without a built-in synthesizer.
  explicit SystemMidiOut(std::vector<std::unique_ptr<OutputDevice>> devices);
  ~SystemMidiOut() override;

  int DeviceCount() override;
  std::optional<std::string> DescribeDevice(int device) override;
  bool Open(int device) override;
  void Send(std::uint32_t packed) override;
  void Close() override;

  // The built-in synthesizer, or null when no soundfont was found. Its
  // LatencyMs() tells the configured output latency while it is open.
  BuiltinSynth* synth() const { return synth_; }
  // Loads the soundfont on a thread of its own; Open waits for it if needed.
  void PreloadInBackground();
  // The device that is open (-1 resolved to its target), or nothing.
  std::optional<int> open_device() const;

 private:
  std::shared_ptr<MidiPorts> ports_;
  std::vector<std::unique_ptr<OutputDevice>> devices_;
  BuiltinSynth* synth_ = nullptr;
  OutputDevice* open_ = nullptr;
  std::jthread preload_;  // last: joined before the devices go
};

}  // namespace tonvale
