// The 128 General MIDI melodic programs in their 16 families, with the names
// shown in the menus, and the choice of the instrument picture. The names are
// the window's source texts; it translates them under the contexts
// "InstrumentFamily" and "Instrument".
#pragma once

#include <array>
#include <cstdint>

namespace tonvale {

struct InstrumentEntry {
  const char* name;
  std::int32_t program;
};

struct InstrumentFamily {
  const char* name;
  std::array<InstrumentEntry, 8> entries;
};

extern const std::array<InstrumentFamily, 16> InstrumentFamilies;

// Display name of program 0..127.
const char* GetInstrumentName(std::int32_t program);

// Index 0..14 into the instrument picture strip. Channel index 9 (the
// percussion channel) always shows the drums.
int GetInstrumentPicture(std::int32_t program, std::int32_t channel);

// The 14 tool-bar buttons, left to right: program numbers taken from the
// catalogue entries they stand for.
std::array<std::int32_t, 14> ToolbarPrograms();

}  // namespace tonvale
