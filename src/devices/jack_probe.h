// Joining a JACK server without ever starting one.
#pragma once

#include <jack/jack.h>

#include <optional>

namespace tonvale {

// A client of the server named by JACK_DEFAULT_SERVER (or the default one),
// opened with JackNoStartServer; null when none runs. libjack's complaints
// about a missing server are kept off stderr meanwhile.
jack_client_t* OpenJackClientQuietly(const char* client_name);

// Whether a JACK server is running: joins it quietly and leaves at once.
bool JackServerRunning();

// The running server's period in milliseconds (its buffer size over its
// sample rate), or nothing when none runs.
std::optional<double> JackPeriodMs();

}  // namespace tonvale
