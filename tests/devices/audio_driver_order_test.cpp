#include "devices/audio_driver_order.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

using Names = std::vector<std::string>;

TEST(AudioDriverOrder, PreferredFirstJackOnlyWithAServerAndTheOverrideAlone) {
  const Names debian{"alsa", "file", "jack", "oss", "pulseaudio", "sdl2"};
  const Names newer{"portaudio", "pipewire", "alsa", "pulseaudio", "jack", "oss"};
  const struct {
    Names available;
    bool jack_running;
    const char* override_name;
    Names expected;
  } kCases[] = {
      {debian, false, "", {"pulseaudio", "alsa", "oss"}},
      {debian, true, "", {"pulseaudio", "alsa", "jack", "oss"}},
      {newer, true, "", {"pipewire", "pulseaudio", "alsa", "jack", "portaudio", "oss"}},
      {{"jack"}, false, "", {}},
      {{"jack"}, true, "", {"jack"}},
      // Even when asked for by name: libjack would try to start a server and hang.
      {{"alsa", "jack"}, false, "jack", {}},
      {{"alsa", "jack"}, true, "jack", {"jack"}},
      {debian, false, "file", {"file"}},
      {debian, false, "sdl2", {"sdl2"}},
      {debian, false, "pipewire", {}},  // not built in
      {debian, false, "nonsense", {}},
      {{}, true, "", {}},
      {{"file", "sdl2"}, true, "", {}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(AudioDriverOrder(c.available, c.jack_running, c.override_name), c.expected)
        << "override '" << c.override_name << "', jack " << c.jack_running;
  }
}

}  // namespace
}  // namespace tonvale
