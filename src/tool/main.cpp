// tonvale-tool: recordings without a window.
#include <iostream>
#include <string_view>
#include <vector>

#include "tool/tool_commands.h"
#include "tool/tool_options.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const std::optional<tonvale::ToolOptions> options = tonvale::ParseToolArguments(args);
  if (!options) {
    std::cerr << tonvale::kToolUsage;
    return tonvale::kToolUsageError;
  }
  return tonvale::RunTool(*options, std::cout, std::cerr);
}
