// The window's side of a playback handover: one due event sounded and drawn
// with the settings in force now.
#pragma once

#include <cstdint>

#include "perform/instrument.h"
#include "record/event_lists.h"

namespace tonvale {

// Sounds and draws event `index` of the playback list while the output is
// open; with the output closed, or for an index the list does not hold,
// nothing happens. Returns whether the event was played. The live keyboard
// state is neither read nor changed.
bool HandlePlayEvent(Instrument& inst, const PlaybackList& playback, std::uint32_t index);

}  // namespace tonvale
