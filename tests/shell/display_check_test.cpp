#include "shell/display_check.h"

#include <gtest/gtest.h>

#include <map>

namespace tonvale {
namespace {

EnvironmentReader Env(std::map<std::string, std::string> vars) {
  return [vars](const char* name) -> std::optional<std::string> {
    const auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

TEST(DisplayCheck, NeedsADisplayOrAChosenPlatform) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
  EXPECT_EQ(MissingDisplayMessage(Env({})), std::nullopt);
#else
  const std::optional<std::string> none = MissingDisplayMessage(Env({}));
  ASSERT_TRUE(none.has_value());
  EXPECT_NE(none->find("no display"), std::string::npos);
  EXPECT_EQ(none->find('\n'), std::string::npos);  // one line
  EXPECT_TRUE(MissingDisplayMessage(Env({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}})));
  EXPECT_EQ(MissingDisplayMessage(Env({{"DISPLAY", ":0"}})), std::nullopt);
  EXPECT_EQ(MissingDisplayMessage(Env({{"WAYLAND_DISPLAY", "wayland-0"}})), std::nullopt);
  EXPECT_EQ(MissingDisplayMessage(Env({{"QT_QPA_PLATFORM", "offscreen"}})), std::nullopt);
#endif
}

}  // namespace
}  // namespace tonvale
