#include "devices/midi_ports.h"

#include <RtMidi.h>
#include <unistd.h>

#include <cctype>

#include "devices/jack_midi_out.h"
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
  if (alsa_ != nullptr) {
    try {
      const unsigned count = alsa_->getPortCount();
      for (unsigned i = 0; i < count; ++i) {
        std::string name = alsa_->getPortName(i);
        if (name.empty() || IsOwnPort(name)) continue;
        ports_.push_back({PortApi::kAlsa, name, PortDisplayName(PortApi::kAlsa, name)});
      }
    } catch (const RtMidiError&) {
      // A port list that cannot be read offers nothing.
    }
  }
  if (apis.jack) {
    // Without a server this fails fast and quietly; with one it is the only
    // connection we make (a separate question first would cost another).
    jack_ = std::make_unique<JackMidiOut>(kMidiClientName);
    if (!jack_->connected()) jack_.reset();
  }
  if (jack_ != nullptr) {
    for (std::string& name : jack_->InputPorts()) {
      if (name.empty() || IsOwnPort(name)) continue;
      std::string display = PortDisplayName(PortApi::kJack, name);
      ports_.push_back({PortApi::kJack, std::move(name), std::move(display)});
    }
  }
}

MidiPorts::~MidiPorts() {
  Close();
}

bool MidiPorts::Open(std::size_t index) {
  Close();
  if (index >= ports_.size()) return false;
  const PortInfo& port = ports_[index];
  const bool opened = port.api == PortApi::kAlsa ? OpenAlsa(port) : jack_->Open(port.system_name);
  if (opened) open_ = port.api;
  return opened;
}

bool MidiPorts::OpenAlsa(const PortInfo& port) {
  try {
    // The numbering may have moved since the list was taken; go by name.
    const unsigned count = alsa_->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
      if (alsa_->getPortName(i) != port.system_name) continue;
      alsa_->openPort(i, kOurPortName);
      return alsa_->isPortOpen();
    }
  } catch (const RtMidiError&) {
    alsa_->closePort();
  }
  return false;
}

void MidiPorts::Send(std::uint32_t packed) {
  if (!open_) return;
  const WireMessage msg = ToWireMessage(packed);
  if (msg.size == 0) return;
  if (*open_ == PortApi::kJack) {
    jack_->Send(msg.bytes.data(), msg.size);
    return;
  }
  try {
    // The sequencer takes the event at once: nothing waits in a queue of
    // ours when the port closes.
    alsa_->sendMessage(msg.bytes.data(), msg.size);
  } catch (const RtMidiError&) {
    // Send failures are not reported.
  }
}

void MidiPorts::Close() {
  if (!open_) return;
  if (*open_ == PortApi::kJack) {
    jack_->Close();
  } else {
    alsa_->closePort();
  }
  open_.reset();
}

JackMidiOut* MidiPorts::jack() const {
  return jack_.get();
}

}  // namespace tonvale
