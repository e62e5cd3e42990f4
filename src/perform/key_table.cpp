#include "perform/key_table.h"

namespace tonvale {

// Indexed by set-1 scan code. Row 2 is the scale from "1" (middle C in C
// major), row 3 its chromatic keys; rows 1 and 0 are the scale below. Where a
// chromatic key has no note between its neighbours it repeats the lower one.
const std::array<KeyEntry, kKeyCount> kKeyTable = {{
    {-1, -1, -1, -1, nullptr},  //  0
    {-1, -1, -1, -1, nullptr},  //  1
    {3, 6, 0, 0, "b5"},         //  2 1
    {3, 8, 0, 2, "b6"},         //  3 2
    {3, 10, 0, 4, "b7"},        //  4 3
    {3, 11, 0, 6, "7"},         //  5 4
    {4, 1, 0, 8, "b2"},         //  6 5
    {4, 3, 0, 10, "b3"},        //  7 6
    {4, 4, 0, 12, "3"},         //  8 7
    {4, 6, 0, 14, "b5"},        //  9 8
    {4, 8, 0, 16, "b6"},        // 10 9
    {4, 10, 0, 18, "b7"},       // 11 0
    {6, 6, 0, 20, "b5"},        // 12 minus
    {6, 8, 0, 22, "b6"},        // 13 equals
    {-1, -1, -1, -1, nullptr},  // 14
    {-1, -1, -1, -1, nullptr},  // 15
    {3, 7, 1, 1, "5"},          // 16 Q
    {3, 9, 1, 3, "6"},          // 17 W
    {3, 11, 1, 5, "7"},         // 18 E
    {4, 0, 1, 7, "1"},          // 19 R
    {4, 2, 1, 9, "2"},          // 20 T
    {4, 4, 1, 11, "3"},         // 21 Y
    {4, 5, 1, 13, "4"},         // 22 U
    {4, 7, 1, 15, "5"},         // 23 I
    {4, 9, 1, 17, "6"},         // 24 O
    {4, 11, 1, 19, "7"},        // 25 P
    {6, 7, 1, 21, "5"},         // 26 left bracket
    {6, 9, 1, 23, "6"},         // 27 right bracket
    {-1, -1, -1, -1, nullptr},  // 28
    {-1, -1, -1, -1, nullptr},  // 29
    {5, 0, 2, 2, "1"},          // 30 A
    {5, 2, 2, 4, "2"},          // 31 S
    {5, 4, 2, 6, "3"},          // 32 D
    {5, 5, 2, 8, "4"},          // 33 F
    {5, 7, 2, 10, "5"},         // 34 G
    {5, 9, 2, 12, "6"},         // 35 H
    {5, 11, 2, 14, "7"},        // 36 J
    {6, 0, 2, 16, "1"},         // 37 K
    {6, 2, 2, 18, "2"},         // 38 L
    {6, 4, 2, 20, "3"},         // 39 semicolon
    {6, 5, 2, 22, "4"},         // 40 apostrophe
    {-1, -1, -1, -1, nullptr},  // 41
    {-1, -1, -1, -1, nullptr},  // 42
    {-1, -1, -1, -1, nullptr},  // 43
    {5, 1, 3, 3, "b2"},         // 44 Z
    {5, 3, 3, 5, "b3"},         // 45 X
    {5, 4, 3, 7, "3"},          // 46 C
    {5, 6, 3, 9, "b5"},         // 47 V
    {5, 8, 3, 11, "b6"},        // 48 B
    {5, 10, 3, 13, "b7"},       // 49 N
    {5, 11, 3, 15, "7"},        // 50 M
    {6, 1, 3, 17, "b2"},        // 51 comma
    {6, 3, 3, 19, "b3"},        // 52 period
    {6, 4, 3, 21, "3"},         // 53 slash
}};

const KeyEntry* FindKey(std::uint32_t scan_code) {
  if (scan_code >= kKeyCount) return nullptr;
  const KeyEntry& entry = kKeyTable[scan_code];
  return entry.octave == -1 ? nullptr : &entry;
}

namespace {

struct ModeInfo {
  std::int32_t mode;
  int offset;
  const char* tonic_text;
};

// In menu order. A minor mode shares its offset with its relative major:
// its tonic is "6".
constexpr std::array<ModeInfo, 24> kModes = {{
    {1297, 0, "1=C"},  {1298, 2, "1=D"},   {1299, 4, "1=E"},  {1300, 5, "1=F"},  {1301, 7, "1=G"},
    {1302, 9, "1=A"},  {1303, -1, "1=B"},  {1304, 6, "1=#F"}, {1305, 1, "1=#C"}, {1312, -2, "1=bB"},
    {1313, 3, "1=bE"}, {1314, -4, "1=bA"}, {1315, 3, "6=c"},  {1316, 5, "6=d"},  {1317, 7, "6=e"},
    {1318, -4, "6=f"}, {1319, -2, "6=g"},  {1320, 0, "6=a"},  {1321, 2, "6=b"},  {1328, 9, "6=#f"},
    {1329, 4, "6=#c"}, {1330, -1, "6=#g"}, {1331, 6, "6=#d"}, {1332, 1, "6=#a"},
}};

const ModeInfo* FindMode(std::int32_t mode) {
  for (const ModeInfo& info : kModes) {
    if (info.mode == mode) return &info;
  }
  return nullptr;
}

}  // namespace

// The first column of the mode table, fixed at compile time.
constinit const std::array<std::int32_t, 24> kKeyModes = [] {
  std::array<std::int32_t, 24> modes{};
  for (std::size_t i = 0; i < modes.size(); ++i) modes[i] = kModes[i].mode;
  return modes;
}();

std::optional<int> TonicOffset(std::int32_t mode) {
  const ModeInfo* info = FindMode(mode);
  if (info == nullptr) return std::nullopt;
  return info->offset;
}

const char* KeyModeTonicText(std::int32_t mode) {
  const ModeInfo* info = FindMode(mode);
  return info == nullptr ? nullptr : info->tonic_text;
}

}  // namespace tonvale
