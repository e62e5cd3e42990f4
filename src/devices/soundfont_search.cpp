#include "devices/soundfont_search.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tonvale {

std::vector<std::string> SystemSoundfonts() {
  return {
      "/usr/share/sounds/sf2/FluidR3_GM.sf2",
      "/usr/share/sounds/sf2/default-GM.sf2",
      "/usr/share/sounds/sf3/default-GM.sf3",
      "/usr/share/soundfonts/default.sf2",
  };
}

std::string ChosenSoundfont(const std::string& option) {
  if (!option.empty()) return option;
  const char* env = std::getenv("TONVALE_SOUNDFONT");
  return env != nullptr ? env : "";
}

std::vector<std::string> SoundfontCandidates() {
  std::vector<std::string> out;
  if (std::string chosen = ChosenSoundfont(); !chosen.empty()) out.push_back(std::move(chosen));
  for (std::string& path : SystemSoundfonts()) out.push_back(std::move(path));
  return out;
}

std::string SoundfontProblem(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return "a folder, not a file";
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::strerror(errno);
  char head[12] = {};
  const bool whole = std::fread(head, 1, sizeof head, file) == sizeof head;
  std::fclose(file);
  if (!whole || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "sfbk", 4) != 0) {
    return "not a SoundFont file";
  }
  return {};
}

std::optional<std::string> FindSoundfont(const std::vector<std::string>& candidates) {
  for (const auto& path : candidates) {
    if (SoundfontProblem(path).empty()) return path;
  }
  return std::nullopt;
}

}  // namespace tonvale
