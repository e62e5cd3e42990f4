// The program's own options, read before the window toolkit starts, so that
// --help and --version need no display. Whatever follows the options is the
// recording to load or the song to practise, word for word and byte for byte: a name with a blank
// arrives as two words and is joined again later.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tonvale {

inline constexpr double kMinLatencyMs = 1;
inline constexpr double kMaxLatencyMs = 1000;

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  std::optional<double> latency_ms;     // --latency MS
  std::string soundfont;                // --soundfont FILE, as given; empty when none
  std::vector<std::string> file_words;  // after the options, as given
  std::string error;                    // for kUsageError, one line
};

// `args`: the words after the program's name. Options come first; "--" ends
// them, and so does the first word that does not start with "--". Words
// starting with a single "-" are left for the toolkit (-display, -platform).
CommandLine ParseCommandLine(std::span<const std::string> args);

// "Usage: tonvale [--latency MS] [--soundfont FILE] [FILE.qvi | SONG.txt]"
// and the lines of --help.
std::string UsageText();
std::string HelpText();

}  // namespace tonvale
