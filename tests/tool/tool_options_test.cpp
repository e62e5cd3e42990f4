#include "tool/tool_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tonvale {
namespace {

using Args = std::vector<std::string_view>;

TEST(ToolOptions, CommandsOperandsOverridesAndWrongUsage) {
  // Options may come before, between or after the operands; the defaults
  // and the other commands are checked through the real tool.
  const std::optional<ToolOptions> full =
      ParseToolArguments(Args{"render", "--program", "127", "a.qvi", "--key-mode", "1332", "b.wav",
                              "--auto-bass", "0", "--soundfont", "/x.sf2"});
  ASSERT_TRUE(full);
  EXPECT_EQ(full->action, ToolAction::kRender);
  EXPECT_EQ(full->input, "a.qvi");
  EXPECT_EQ(full->output, "b.wav");
  EXPECT_EQ(full->key_mode, 1332);
  EXPECT_EQ(full->program, 127);
  EXPECT_EQ(full->auto_bass, false);
  EXPECT_EQ(full->soundfont, "/x.sf2");
  EXPECT_EQ(ParseToolArguments(Args{"export", "a", "b", "--auto-bass", "1"})->auto_bass, true);

  // One fault each; '' is an empty argument.
  const char* const wrong[] = {"",
                               "play a.qvi",
                               "info",
                               "info a.qvi b",
                               "info a.qvi --program 1",
                               "export a.qvi",
                               "export a.qvi b.mid c",
                               "export a.qvi b.mid --key-mode",
                               "export a.qvi b.mid --key-mode 1306",
                               "export a.qvi b.mid --key-mode 1297x",
                               "export a.qvi b.mid --key-mode ''",
                               "export a.qvi b.mid --program 128",
                               "export a.qvi b.mid --program -1",
                               "export a.qvi b.mid --program 99999999999",
                               "export a.qvi b.mid --auto-bass 2",
                               "export a.qvi b.mid --auto-bass yes",
                               "export a.qvi b.mid --soundfont x.sf2",
                               "render a.qvi b.wav --volume 3"};
  for (std::string_view line : wrong) {
    Args args;
    for (std::size_t at = 0; at < line.size();) {
      const std::size_t end = std::min(line.find(' ', at), line.size());
      const std::string_view word = line.substr(at, end - at);
      args.push_back(word == "''" ? std::string_view() : word);
      at = end + 1;
    }
    EXPECT_FALSE(ParseToolArguments(args)) << line;
  }
  EXPECT_NE(std::string(kToolUsage).find("usage: tonvale-tool info FILE.qvi"), std::string::npos);
}

}  // namespace
}  // namespace tonvale
