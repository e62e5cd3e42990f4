// The "keyboard score" players share: the keys to press, in order, on one
// line, e.g. "i a s d | f d".
#pragma once

#include <string>

#include "practice/song.h"

namespace tonvale {

// Each played note's key as it is written on a US keyboard, with "Shift+"
// or "Ctrl+" before it when it needs one, separated by one space; "|" stands
// between two keys for every bar that ends between them (after the first
// key's start, at or before the second's). Ties and held beats are one key;
// rests are not written; repeats are written out.
std::string KeyboardScore(const Song& song);

}  // namespace tonvale
