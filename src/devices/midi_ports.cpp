#include "devices/midi_ports.h"

#include <RtMidi.h>
#include <unistd.h>

#include <cctype>

#include "devices/jack_probe.h"
#include "devices/short_message.h"

namespace tonvale {
namespace {

constexpr const char* kOurPortName = "output";

// The trailing " client:port" numbers of an ALSA name change from run to run.
std::string_view StripAlsaAddress(std::string_view name) {
  const auto space = name.rfind(' ');
  if (space == std::string_view::npos) return name;
  const std::string_view tail = name.substr(space + 1);
  const auto colon = tail.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == tail.size()) return name;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (i != colon && std::isdigit(static_cast<unsigned char>(tail[i])) == 0) return name;
  }
  return name.substr(0, space);
}

std::unique_ptr<RtMidiOut> MakeClient(RtMidi::Api api) {
  try {
    return std::make_unique<RtMidiOut>(api, kMidiClientName);
  } catch (const RtMidiError&) {
    return nullptr;
  }
}

}  // namespace

std::string PortDisplayName(PortApi api, std::string_view system_name) {
  if (api == PortApi::kAlsa) return std::string(StripAlsaAddress(system_name)) + " (ALSA)";
  return std::string(system_name) + " (JACK)";
}

bool IsOwnPort(std::string_view system_name) {
  const std::string_view client = system_name.substr(0, system_name.find(':'));
  const std::string_view ours = kMidiClientName;
  if (client == ours) return true;
  // JACK renames a second client "Tonvale-01".
  if (client.size() > ours.size() + 1 && client.substr(0, ours.size()) == ours &&
      client[ours.size()] == '-') {
    for (char c : client.substr(ours.size() + 1)) {
      if (std::isdigit(static_cast<unsigned char>(c)) == 0) return false;
    }
    return true;
  }
  return false;
}

MidiPorts::MidiPorts(PortApis apis) {
  // Without the sequencer device ALSA would only print its complaint and
  // fail; skip the attempt.
  if (apis.alsa && access("/dev/snd/seq", F_OK) == 0) alsa_ = MakeClient(RtMidi::LINUX_ALSA);
  if (apis.jack && JackServerRunning()) jack_ = MakeClient(RtMidi::UNIX_JACK);
  for (PortApi api : {PortApi::kAlsa, PortApi::kJack}) {
    RtMidiOut* client = Client(api);
    if (client == nullptr) continue;
    try {
      const unsigned count = client->getPortCount();
      for (unsigned i = 0; i < count; ++i) {
        std::string name = client->getPortName(i);
        if (name.empty() || IsOwnPort(name)) continue;
        ports_.push_back({api, name, PortDisplayName(api, name)});
      }
    } catch (const RtMidiError&) {
      // A port list that cannot be read offers nothing.
    }
  }
}

MidiPorts::~MidiPorts() {
  Close();
}

RtMidiOut* MidiPorts::Client(PortApi api) const {
  return api == PortApi::kAlsa ? alsa_.get() : jack_.get();
}

bool MidiPorts::Open(std::size_t index) {
  Close();
  if (index >= ports_.size()) return false;
  const PortInfo& port = ports_[index];
  RtMidiOut* client = Client(port.api);
  try {
    // The numbering may have moved since the list was taken; go by name.
    const unsigned count = client->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
      if (client->getPortName(i) != port.system_name) continue;
      client->openPort(i, kOurPortName);
      if (!client->isPortOpen()) return false;
      open_ = client;
      return true;
    }
  } catch (const RtMidiError&) {
    client->closePort();
  }
  return false;
}

void MidiPorts::Send(std::uint32_t packed) {
  if (open_ == nullptr) return;
  const WireMessage msg = ToWireMessage(packed);
  if (msg.size == 0) return;
  try {
    open_->sendMessage(msg.bytes.data(), msg.size);
  } catch (const RtMidiError&) {
    // Send failures are not reported.
  }
}

void MidiPorts::Close() {
  if (open_ == nullptr) return;
  open_->closePort();
  open_ = nullptr;
}

}  // namespace tonvale
