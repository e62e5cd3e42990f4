#include "devices/audio_driver_order.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

using Names = std::vector<std::string>;

TEST(AudioDriverOrder, JackFirstWhileAServerRunsNeverWithoutOneAndTheOverrideAlone) {
  const Names debian{"alsa", "file", "jack", "oss", "pulseaudio", "sdl2"};
  const Names newer{"portaudio", "pipewire", "alsa", "pulseaudio", "jack", "oss"};
  const struct {
    Names available;
    bool jack_running;
    const char* override_name;
    Names expected;
  } kCases[] = {
      {debian, false, "", {"pulseaudio", "alsa", "oss"}},
      {debian, true, "", {"jack", "pulseaudio", "alsa", "oss"}},
      {newer, true, "", {"jack", "pipewire", "pulseaudio", "alsa", "portaudio", "oss"}},
      // Even when named: libjack would try to start a server and hang.
      {{"alsa", "jack"}, false, "jack", {}},
      {{"alsa", "jack"}, true, "jack", {"jack"}},
      {debian, true, "file", {"file"}},
      {debian, false, "pipewire", {}},  // not built in
      {{"file", "sdl2"}, true, "", {}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(AudioDriverOrder(c.available, c.jack_running, c.override_name), c.expected)
        << "override '" << c.override_name << "', jack " << c.jack_running;
  }
}

}  // namespace
}  // namespace tonvale
