#include "devices/system_midi_out.h"

#include "devices/soundfont_search.h"

namespace tonvale {
namespace {

// One port of the shared RtMidi clients.
class PortDevice : public OutputDevice {
 public:
  PortDevice(std::shared_ptr<MidiPorts> ports, std::size_t index)
      : ports_(std::move(ports)), index_(index) {}
  std::string Name() const override { return ports_->ports()[index_].display_name; }
  bool Open() override { return ports_->Open(index_); }
  void Send(std::uint32_t packed) override { ports_->Send(packed); }
  void Close() override { ports_->Close(); }

 private:
  std::shared_ptr<MidiPorts> ports_;
  std::size_t index_;
};

}  // namespace

DeviceSearch DeviceSearch::FromEnvironment() {
  DeviceSearch search;
  search.chosen_soundfont = ChosenSoundfont();
  search.soundfonts = SystemSoundfonts();
  search.audio = AudioOptions::FromEnvironment();
  return search;
}

SystemMidiOut::SystemMidiOut(const DeviceSearch& search) {
  // The user's own soundfont is tried whatever it is, so that its failure is
  // said; the system's sets only where they are.
  std::vector<std::string> found;
  for (const std::string& path : search.soundfonts) {
    if (SoundfontProblem(path).empty()) found.push_back(path);
  }
  if (!search.chosen_soundfont.empty()) {
    found.insert(found.begin(), search.chosen_soundfont);
  }
  if (!found.empty()) {
    auto synth = std::make_unique<BuiltinSynth>(
        found.front(), search.audio, std::vector<std::string>(found.begin() + 1, found.end()));
    synth_ = synth.get();
    devices_.push_back(std::move(synth));
  }
  ports_ = std::make_shared<MidiPorts>(search.ports);
  for (std::size_t i = 0; i < ports_->ports().size(); ++i) {
    devices_.push_back(std::make_unique<PortDevice>(ports_, i));
  }
}

SystemMidiOut::SystemMidiOut(std::vector<std::unique_ptr<OutputDevice>> devices)
    : devices_(std::move(devices)) {}

SystemMidiOut::~SystemMidiOut() {
  if (preload_.joinable()) preload_.join();
  Close();
}

int SystemMidiOut::DeviceCount() {
  return static_cast<int>(devices_.size());
}

std::optional<std::string> SystemMidiOut::DescribeDevice(int device) {
  if (device == -1) {
    if (devices_.empty()) return std::nullopt;
    return std::string(kMapperName);
  }
  if (device < 0 || device >= DeviceCount()) return std::nullopt;
  return devices_[static_cast<std::size_t>(device)]->Name();
}

bool SystemMidiOut::Open(int device) {
  Close();
  if (device == -1) device = 0;  // the synthesizer, or the first port
  if (device < 0 || device >= DeviceCount()) return false;
  OutputDevice* target = devices_[static_cast<std::size_t>(device)].get();
  if (!target->Open()) return false;
  open_ = target;
  return true;
}

void SystemMidiOut::Send(std::uint32_t packed) {
  if (open_ != nullptr) open_->Send(packed);
}

void SystemMidiOut::Close() {
  if (open_ == nullptr) return;
  open_->Close();
  open_ = nullptr;
}

void SystemMidiOut::PreloadInBackground() {
  if (synth_ == nullptr || preload_.joinable()) return;
  preload_ = std::jthread([synth = synth_] { synth->Preload(); });
}

std::optional<int> SystemMidiOut::open_device() const {
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    if (devices_[i].get() == open_) return static_cast<int>(i);
  }
  return std::nullopt;
}

}  // namespace tonvale
