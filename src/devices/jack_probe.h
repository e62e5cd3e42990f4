// Joining a JACK server without ever starting one.
#pragma once

#include <jack/jack.h>

#include <optional>

namespace tonvale {

// A client of the server named by JACK_DEFAULT_SERVER (or the default one),
// opened with JackNoStartServer; null when none runs. libjack's complaints
// about a missing server are kept off stderr meanwhile.
jack_client_t* OpenJackClientQuietly(const char* client_name);

struct JackServerInfo {
  double rate = 0;        // frames per second
  int period_frames = 0;  // its buffer size: every client plays at it
  double period_ms() const { return rate > 0 ? 1000.0 * period_frames / rate : 0.0; }
};

// The running server's rate and period (joins it quietly and leaves at
// once), or nothing when none runs.
std::optional<JackServerInfo> AskJackServer();

// Whether a JACK server is running.
bool JackServerRunning();

}  // namespace tonvale
