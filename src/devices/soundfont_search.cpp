#include "devices/soundfont_search.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace tonvale {
namespace {

constexpr std::array<const char*, 4> kSystemSoundfonts{
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/soundfonts/default.sf2",
};

// Only the form header is read: a stray text file or a directory must not
// be offered as a synthesizer that then fails to open.
bool LooksLikeSoundfont(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  char head[12] = {};
  if (!in.read(head, sizeof head)) return false;
  return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "sfbk", 4) == 0;
}

}  // namespace

std::vector<std::string> SoundfontCandidates() {
  std::vector<std::string> out;
  if (const char* env = std::getenv("TONVALE_SOUNDFONT"); env != nullptr && *env != '\0') {
    out.emplace_back(env);
  }
  out.insert(out.end(), kSystemSoundfonts.begin(), kSystemSoundfonts.end());
  return out;
}

std::optional<std::string> FindSoundfont(const std::vector<std::string>& candidates) {
  for (const auto& path : candidates) {
    if (LooksLikeSoundfont(path)) return path;
  }
  return std::nullopt;
}

}  // namespace tonvale
