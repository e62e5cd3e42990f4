#include "shell/display_check.h"

#include <QtGlobal>
#include <cstdlib>

namespace tonvale {

namespace {

bool Set(const EnvironmentReader& env, const char* name) {
  const std::optional<std::string> value = env(name);
  return value && !value->empty();
}

}  // namespace

std::optional<std::string> MissingDisplayMessage(const EnvironmentReader& env) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
  (void)env;
  return std::nullopt;  // the desktop is always there
#else
  if (Set(env, "QT_QPA_PLATFORM") || Set(env, "DISPLAY") || Set(env, "WAYLAND_DISPLAY")) {
    return std::nullopt;
  }
  return std::string(
      "tonvale: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
      "start it in a graphical session");
#endif
}

std::optional<std::string> ProcessEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace tonvale
