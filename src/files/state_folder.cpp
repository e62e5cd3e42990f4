#include "files/state_folder.h"

#include <cstdlib>
#include <system_error>

namespace tonvale {

namespace fs = std::filesystem;

namespace {

// A relative value is to be ignored, as if it were not set.
fs::path AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return {};
  fs::path path(value);
  return path.is_absolute() ? path : fs::path();
}

}  // namespace

fs::path StateFolder() {
  if (fs::path state = AbsoluteFromEnvironment("XDG_STATE_HOME"); !state.empty()) {
    return state / "tonvale";
  }
  if (fs::path home = AbsoluteFromEnvironment("HOME"); !home.empty()) {
    return home / ".local" / "state" / "tonvale";
  }
  return {};
}

bool MakeStateFolder(const fs::path& folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  if (fs::is_directory(folder, ec)) return true;
  if (folder.has_parent_path() && folder.parent_path() != folder &&
      !MakeStateFolder(folder.parent_path())) {
    return false;
  }
  if (fs::create_directory(folder, ec)) fs::permissions(folder, fs::perms::owner_all, ec);
  return fs::is_directory(folder, ec);
}

}  // namespace tonvale
