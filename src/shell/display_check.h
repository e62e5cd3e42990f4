// Whether there is a display to open windows on, checked before the toolkit
// starts: without one Qt aborts with a long platform-plugin message.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace tonvale {

// Reads an environment variable; nothing when it is unset.
using EnvironmentReader = std::function<std::optional<std::string>(const char*)>;

// One line for the user when no display can be found, nothing otherwise.
// A platform chosen with QT_QPA_PLATFORM is trusted as it stands.
std::optional<std::string> MissingDisplayMessage(const EnvironmentReader& env);

// The process environment.
std::optional<std::string> ProcessEnvironment(const char* name);

}  // namespace tonvale
