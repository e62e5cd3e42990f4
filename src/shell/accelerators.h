// The Alt+letter shortcuts: the key modes, and O and S for opening and
// closing the output.
#pragma once

#include <array>

namespace tonvale {

struct Accelerator {
  char letter;  // Alt + this capital letter
  int id;       // the command it gives
};

extern const std::array<Accelerator, 26> kAccelerators;

}  // namespace tonvale
