// Which sound server answers the PulseAudio protocol: PulseAudio itself, or
// PipeWire through pipewire-pulse. They take very different buffering.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "devices/buffering.h"

namespace tonvale {

struct PulseServer {
  AudioPath path = AudioPath::kPulseAudio;  // kPipeWire or kPulseAudio
  std::string label;  // "PipeWire 0.3.65 (PulseAudio protocol)", "PulseAudio 16.1"
  // Its default sample rate: PipeWire's graph rate, PulseAudio's
  // default-sample-rate; a stream at another rate is resampled.
  double rate = 0;
};

// From the name and version the server reports ("PulseAudio (on PipeWire
// 0.3.65)" and "15.0.0"; "pulseaudio" and "16.1"). Any other server is
// buffered like PulseAudio, the cautious choice.
PulseServer DescribePulseServer(std::string_view name, std::string_view version);

// Asks the server a PulseAudio client would reach (PULSE_SERVER, else the
// user's session) its name and rate; never starts one. Nothing when none
// answers in `limit`.
std::optional<PulseServer> AskPulseServer(
    std::chrono::milliseconds limit = std::chrono::milliseconds(2000));

}  // namespace tonvale
