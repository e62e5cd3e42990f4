#include "devices/audio_driver_order.h"

#include <algorithm>
#include <array>

namespace tonvale {
namespace {

// A running JACK server owns the sound card: play through it first.
constexpr std::array<std::string_view, 4> kPreferred{"jack", "pipewire", "pulseaudio", "alsa"};
constexpr std::array<std::string_view, 2> kOnlyWhenNamed{"sdl2", "file"};

bool Contains(const auto& list, std::string_view name) {
  return std::find(list.begin(), list.end(), name) != list.end();
}

}  // namespace

std::vector<std::string> AudioDriverOrder(const std::vector<std::string>& available,
                                          bool jack_running, std::string_view override_name) {
  const auto allowed = [&](std::string_view name) {
    return Contains(available, name) && (name != "jack" || jack_running);
  };
  if (!override_name.empty()) {
    if (!allowed(override_name)) return {};
    return {std::string(override_name)};
  }
  std::vector<std::string> order;
  for (auto name : kPreferred) {
    if (allowed(name)) order.emplace_back(name);
  }
  for (const auto& name : available) {
    if (allowed(name) && !Contains(kPreferred, name) && !Contains(kOnlyWhenNamed, name) &&
        !Contains(order, name)) {
      order.push_back(name);
    }
  }
  return order;
}

}  // namespace tonvale
