// The command line of tonvale-tool. FILE is a recording (.qvi) or a song
// (numbered notation).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tool/render_plan.h"

namespace tonvale {

enum class ToolAction { kInfo, kKeys, kExport, kRender };

struct ToolOptions {
  ToolAction action = ToolAction::kInfo;
  std::string input;   // the recording or song
  std::string output;  // export and render
  // Overrides of what the file stores (a song: its key, no bass); the
  // program defaults to 0.
  std::optional<std::int32_t> key_mode;
  std::int32_t program = 0;
  std::optional<bool> auto_bass;
  std::optional<std::string> soundfont;     // render only
  std::uint32_t rate = kDefaultRenderRate;  // render only: frames per second of the WAV file
};

extern const char kToolUsage[];

// The options, or nothing for a wrong command line (unknown command or
// option, missing or extra operands, a key mode that is none of the 24, a
// program outside 0..127, an automatic bass other than 0 or 1, a rate that
// is not a whole number of frames per second from 8000 to 96000).
std::optional<ToolOptions> ParseToolArguments(std::span<const std::string_view> args);

}  // namespace tonvale
