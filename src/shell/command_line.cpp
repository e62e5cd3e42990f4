#include "shell/command_line.h"

#include <cstdlib>

namespace tonvale {
namespace {

// A plain decimal number of milliseconds within the allowed range.
std::optional<double> ParseMs(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) {
    return std::nullopt;
  }
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !(value >= kMinLatencyMs && value <= kMaxLatencyMs)) {
    return std::nullopt;
  }
  return value;
}

CommandLine Only(CommandLine::Action action, std::string error = {}) {
  CommandLine line;
  line.action = action;
  line.error = std::move(error);
  return line;
}

CommandLine UsageError(std::string error) {
  return Only(CommandLine::Action::kUsageError, std::move(error));
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> args) {
  CommandLine line;
  std::size_t i = 0;
  for (; i < args.size() && args[i].starts_with("--"); ++i) {
    const std::string& word = args[i];
    if (word == "--") {
      ++i;
      break;
    }
    if (word == "--help") return Only(CommandLine::Action::kHelp);
    if (word == "--version") return Only(CommandLine::Action::kVersion);
    if (word == "--soundfont" || word.starts_with("--soundfont=")) {
      if (word == "--soundfont" && i + 1 == args.size()) {
        return UsageError("--soundfont needs a file");
      }
      line.soundfont = word == "--soundfont" ? args[++i] : word.substr(12);
      if (line.soundfont.empty()) return UsageError("--soundfont needs a file");
      continue;
    }
    std::optional<std::string> value;
    if (word == "--latency") {
      if (i + 1 == args.size()) return UsageError("--latency needs a number of milliseconds");
      value = args[++i];
    } else if (word.starts_with("--latency=")) {
      value = word.substr(10);
    } else {
      return UsageError("unknown option " + word);
    }
    line.latency_ms = ParseMs(*value);
    if (!line.latency_ms) {
      return UsageError("--latency wants milliseconds from 1 to 1000, not \"" + *value + "\"");
    }
  }
  line.file_words.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return line;
}

std::string UsageText() {
  return "Usage: tonvale [--latency MS] [--soundfont FILE] [FILE.qvi | SONG.txt]\n"
         "       tonvale --help | --version\n";
}

std::string HelpText() {
  return UsageText() +
         "\n"
         "Plays the computer keyboard as a musical instrument. A recording named\n"
         "on the command line is loaded at start and played half a second later;\n"
         "a song in numbered notation (a text file) is opened for practising and\n"
         "waits for its first key. A name with blanks needs no quotes. Options\n"
         "come before the name.\n"
         "\n"
         "  --latency MS      keep MS milliseconds (1 to 1000) of sound buffered in\n"
         "                    the built-in synthesizer, instead of the least that\n"
         "                    plays without clicks on the sound server it reaches:\n"
         "                    more for a busy or unusual machine, less for quicker\n"
         "                    keys. FluidSynth takes periods of 64 to 8192 frames;\n"
         "                    beyond them the nearest is used, and said. A JACK\n"
         "                    server plays at its own period whatever is asked.\n"
         "  --soundfont FILE  play the built-in synthesizer with this SoundFont (.sf2\n"
         "                    or .sf3) instead of the system's General MIDI set; one\n"
         "                    that cannot be loaded is said, and the system's is used.\n"
         "  --help            show this help and exit\n"
         "  --version         show the version and exit\n"
         "  --                end of the options (for a name that starts with --)\n";
}

}  // namespace tonvale
