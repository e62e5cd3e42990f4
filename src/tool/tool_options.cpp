#include "tool/tool_options.h"

#include <charconv>
#include <vector>

#include "perform/key_table.h"

namespace tonvale {

const char kToolUsage[] =
    "usage: tonvale-tool info FILE\n"
    "       tonvale-tool keys FILE\n"
    "       tonvale-tool export FILE OUT.mid [--key-mode ID] [--program P] [--auto-bass 0|1]\n"
    "       tonvale-tool render FILE OUT.wav [--key-mode ID] [--program P] [--auto-bass 0|1]\n"
    "                           [--soundfont PATH] [--rate HZ]\n"
    "FILE is a recording (.qvi) or a song in numbered notation (.txt).\n"
    "Key mode and automatic bass default to the file's (a song: its key, no bass),\n"
    "the program to 0; the rate (8000 to 96000) to 44100.\n";

namespace {

std::optional<std::int32_t> ParseInt(std::string_view text) {
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<ToolOptions> ParseToolArguments(std::span<const std::string_view> args) {
  if (args.empty()) return std::nullopt;
  ToolOptions options;
  std::size_t operands = 0;
  if (args[0] == "info") {
    options.action = ToolAction::kInfo;
    operands = 1;
  } else if (args[0] == "keys") {
    options.action = ToolAction::kKeys;
    operands = 1;
  } else if (args[0] == "export") {
    options.action = ToolAction::kExport;
    operands = 2;
  } else if (args[0] == "render") {
    options.action = ToolAction::kRender;
    operands = 2;
  } else {
    return std::nullopt;
  }

  std::vector<std::string_view> positional;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!arg.starts_with("--")) {
      positional.push_back(arg);
      continue;
    }
    if (options.action == ToolAction::kInfo || options.action == ToolAction::kKeys ||
        i + 1 >= args.size()) {
      return std::nullopt;
    }
    const std::string_view value = args[++i];
    if (arg == "--key-mode") {
      const std::optional<std::int32_t> mode = ParseInt(value);
      if (!mode || !TonicOffset(*mode)) return std::nullopt;
      options.key_mode = *mode;
    } else if (arg == "--program") {
      const std::optional<std::int32_t> program = ParseInt(value);
      if (!program || *program < 0 || *program > 127) return std::nullopt;
      options.program = *program;
    } else if (arg == "--auto-bass") {
      if (value != "0" && value != "1") return std::nullopt;
      options.auto_bass = value == "1";
    } else if (arg == "--soundfont" && options.action == ToolAction::kRender) {
      options.soundfont = std::string(value);
    } else if (arg == "--rate" && options.action == ToolAction::kRender) {
      const std::optional<std::int32_t> rate = ParseInt(value);
      if (!rate || *rate < std::int32_t{kMinRenderRate} || *rate > std::int32_t{kMaxRenderRate}) {
        return std::nullopt;
      }
      options.rate = static_cast<std::uint32_t>(*rate);
    } else {
      return std::nullopt;
    }
  }
  if (positional.size() != operands) return std::nullopt;
  options.input = std::string(positional[0]);
  if (operands == 2) options.output = std::string(positional[1]);
  return options;
}

}  // namespace tonvale
