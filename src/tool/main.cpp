// tonvale-tool: recordings without a window.
#include <csignal>
#include <iostream>
#include <string_view>
#include <vector>

#include "files/safe_write.h"
#include "tool/tool_commands.h"
#include "tool/tool_options.h"

namespace {

volatile std::sig_atomic_t g_signal = 0;

// Ctrl-C, SIGTERM or a closed terminal in the middle of a render: the
// temporary file goes at once, and the write then fails and cleans up the
// rest. A second signal ends the tool on the spot.
void OnStopSignal(int signal) {
  tonvale::RemoveTemporaryNow();
  tonvale::InterruptWrites();
  g_signal = signal;
}

void CatchStopSignals() {
  for (const int signal : {SIGINT, SIGTERM
#ifdef SIGHUP
                           ,
                           SIGHUP
#endif
       }) {
#ifdef _WIN32
    std::signal(signal, OnStopSignal);
#else
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(signal, &action, nullptr);
#endif
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const std::optional<tonvale::ToolOptions> options = tonvale::ParseToolArguments(args);
  if (!options) {
    std::cerr << tonvale::kToolUsage;
    return tonvale::kToolUsageError;
  }
  CatchStopSignals();
  const int code = tonvale::RunTool(*options, std::cout, std::cerr);
  if (g_signal != 0) {
    // Ended as the signal would have ended it, now that nothing is left.
    std::signal(g_signal, SIG_DFL);
    std::raise(g_signal);
  }
  return code;
}
