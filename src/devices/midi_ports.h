// The system's MIDI ports: the ALSA sequencer's writable ports through
// RtMidi and, while a JACK server runs, JACK's MIDI input ports through our
// own JACK client (RtMidi's can lose messages sent as a port opens or closes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class RtMidiOut;

namespace tonvale {

class JackMidiOut;

// How other programs see us.
inline constexpr const char* kMidiClientName = "Tonvale";

enum class PortApi { kAlsa, kJack };

struct PortInfo {
  PortApi api;
  std::string system_name;   // as RtMidi reports it; used to find the port again
  std::string display_name;  // for the device menu
};

// "Client:Port 20:0" (ALSA) -> "Client:Port (ALSA)"; "client:port" (JACK) ->
// "client:port (JACK)".
std::string PortDisplayName(PortApi api, std::string_view system_name);
// Ports of a Tonvale client (ours, or another copy's) are not offered.
bool IsOwnPort(std::string_view system_name);

// Which port systems to list.
struct PortApis {
  bool alsa = true;
  bool jack = true;
};

class MidiPorts {
 public:
  // Lists the ports once. An API that is not there (no ALSA sequencer, no
  // JACK server) just contributes nothing; no server is ever started.
  explicit MidiPorts(PortApis apis = {});
  ~MidiPorts();
  MidiPorts(const MidiPorts&) = delete;
  MidiPorts& operator=(const MidiPorts&) = delete;

  // ALSA ports first, then JACK ports.
  const std::vector<PortInfo>& ports() const { return ports_; }

  // Connects to ports()[index], closing what was open. False when the port
  // has gone or refuses; then nothing is open.
  bool Open(std::size_t index);
  void Send(std::uint32_t packed);
  void Close();

  // Our JACK client, or null when no JACK server ran; for measurements.
  JackMidiOut* jack() const;

 private:
  bool OpenAlsa(const PortInfo& port);

  std::unique_ptr<RtMidiOut> alsa_;
  std::unique_ptr<JackMidiOut> jack_;
  std::vector<PortInfo> ports_;
  std::optional<PortApi> open_;
};

}  // namespace tonvale
