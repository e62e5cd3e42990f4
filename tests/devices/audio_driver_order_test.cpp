#include "devices/audio_driver_order.h"

#include <gtest/gtest.h>

namespace tonvale {
namespace {

using Names = std::vector<std::string>;

TEST(AudioDriverOrder, PreferredDriversComeFirstThenTheOthers) {
  const Names debian{"alsa", "file", "jack", "oss", "pulseaudio", "sdl2"};
  EXPECT_EQ(AudioDriverOrder(debian, false, ""), (Names{"pulseaudio", "alsa", "oss"}));
  EXPECT_EQ(AudioDriverOrder(debian, true, ""), (Names{"pulseaudio", "alsa", "jack", "oss"}));
  const Names newer{"portaudio", "pipewire", "alsa", "pulseaudio", "jack", "oss"};
  EXPECT_EQ(AudioDriverOrder(newer, true, ""),
            (Names{"pipewire", "pulseaudio", "alsa", "jack", "portaudio", "oss"}));
}

TEST(AudioDriverOrder, JackOnlyWhileAServerRuns) {
  EXPECT_TRUE(AudioDriverOrder({"jack"}, false, "").empty());
  EXPECT_EQ(AudioDriverOrder({"jack"}, true, ""), Names{"jack"});
  // Even when asked for by name: libjack would try to start a server and hang.
  EXPECT_TRUE(AudioDriverOrder({"alsa", "jack"}, false, "jack").empty());
  EXPECT_EQ(AudioDriverOrder({"alsa", "jack"}, true, "jack"), Names{"jack"});
}

TEST(AudioDriverOrder, OverrideIsTheOnlyDriverTried) {
  const Names all{"alsa", "file", "jack", "oss", "pulseaudio", "sdl2"};
  EXPECT_EQ(AudioDriverOrder(all, false, "file"), Names{"file"});
  EXPECT_EQ(AudioDriverOrder(all, false, "alsa"), Names{"alsa"});
  EXPECT_EQ(AudioDriverOrder(all, false, "sdl2"), Names{"sdl2"});
  EXPECT_TRUE(AudioDriverOrder(all, false, "pipewire").empty());  // not built in
  EXPECT_TRUE(AudioDriverOrder(all, false, "nonsense").empty());
}

TEST(AudioDriverOrder, NothingAvailableNothingTried) {
  EXPECT_TRUE(AudioDriverOrder({}, true, "").empty());
  EXPECT_TRUE(AudioDriverOrder({"file", "sdl2"}, true, "").empty());
}

}  // namespace
}  // namespace tonvale
