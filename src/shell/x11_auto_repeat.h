// X11 reports a held key as pairs of release and press; Qt tells them from
// real releases by peeking at its event queue, which its reader thread may
// not have filled yet under load, and then a held note stutters. Asking the
// server for detectable auto-repeat leaves only the repeated presses, which
// the window takes as auto-repeats of a key that never came up.
#pragma once

namespace tonvale {

// Returns whether the X server agreed; false off X11 (and without the XKB
// headers at build time), where nothing needs doing.
bool UseDetectableAutoRepeat();

}  // namespace tonvale
