// What tonvale-tool does: inspect a recording or a song, print a song's keys,
// export either as a MIDI file, or render it to a WAV file with the built-in
// synthesizer.
#pragma once

#include <ostream>

#include "tool/tool_options.h"

namespace tonvale {

// Exit codes: 0 done, 1 the file could not be read or written (the window's
// message goes to `err`), 2 wrong usage.
inline constexpr int kToolOk = 0;
inline constexpr int kToolFileFailed = 1;
inline constexpr int kToolUsageError = 2;

int RunTool(const ToolOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tonvale
