#include "devices/audio_driver_order.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

using Names = std::vector<std::string>;

TEST(AudioDriverOrder, JackFirstWhileAServerRunsNeverWithoutOneAndTheOverrideAlone) {
  const Names debian{"alsa", "file", "jack", "oss", "pulseaudio", "sdl2"};
  const Names newer{"portaudio", "pipewire", "alsa", "pulseaudio", "jack"};
  EXPECT_EQ(AudioDriverOrder(debian, false, ""), (Names{"pulseaudio", "alsa", "oss"}));
  EXPECT_EQ(AudioDriverOrder(debian, true, ""), (Names{"jack", "pulseaudio", "alsa", "oss"}));
  EXPECT_EQ(AudioDriverOrder(newer, true, ""),
            (Names{"jack", "pipewire", "pulseaudio", "alsa", "portaudio"}));
  // Even when named: libjack would try to start a server and hang.
  EXPECT_EQ(AudioDriverOrder(debian, false, "jack"), Names{});
  EXPECT_EQ(AudioDriverOrder(debian, true, "jack"), Names{"jack"});
  EXPECT_EQ(AudioDriverOrder(debian, false, "pipewire"), Names{});  // not built in
}

}  // namespace
}  // namespace tonvale
