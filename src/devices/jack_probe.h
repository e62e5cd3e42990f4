// Whether a JACK server is running, asked without ever starting one.
#pragma once

namespace tonvale {

// Connects to the server named by JACK_DEFAULT_SERVER (or the default one)
// with JackNoStartServer and leaves at once. libjack's complaints about a
// missing server are kept off stderr during the question.
bool JackServerRunning();

}  // namespace tonvale
