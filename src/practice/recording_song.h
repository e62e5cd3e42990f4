// A recording read as a song: its key presses in order, at their recorded
// times, without bars. The teacher records a tune, the student practises it.
#pragma once

#include "files/qvi_file.h"
#include "practice/song.h"

namespace tonvale {

// Each press of a playing key is a note played by that very key and shift,
// from its press to its release (a press never released lasts to the last
// event). Ticks are milliseconds (tempo 0); the key mode is the file's; the
// printed degree, accidental and octave follow from the key's label and
// octave. Events of keys that play nothing are skipped. The title is left
// empty.
Song SongFromRecording(const RecordingFile& file);

}  // namespace tonvale
