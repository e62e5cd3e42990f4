// Best-effort real-time priority for the thread that times playback, so
// that a busy machine does not delay the handovers.
#pragma once

namespace tonvale {

// Raises the calling thread to the lowest real-time priority. Returns
// false, changing nothing, where the system does not allow it (an ordinary
// user without a real-time allowance, or a platform without it).
bool RaiseCurrentThreadToRealtime();

}  // namespace tonvale
