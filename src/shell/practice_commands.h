// The commands of the practice menu. Their numbers lie above every range the
// window sorts by number (key modes end at 1332, the automatic bass is 1333,
// the bars' controls are 1344 and 1345), where the settings commands see no
// command at all, so no older command can ever be taken for one of these.
#pragma once

#include <array>
#include <cstdint>
#include <iterator>
#include <optional>

#include "practice/practice_session.h"

namespace tonvale {

inline constexpr std::int32_t IDM_SONG_OPEN = 1360;
inline constexpr std::int32_t IDM_SONG_START = 1361;
inline constexpr std::int32_t IDM_SONG_STOP = 1362;
inline constexpr std::int32_t IDM_SONG_CLOSE = 1363;
inline constexpr std::int32_t IDM_SONG_WAITING = 1364;
inline constexpr std::int32_t IDM_SONG_PLAY_ALONG = 1365;
inline constexpr std::int32_t IDM_SONG_LISTEN = 1366;
inline constexpr std::int32_t IDM_SONG_SPEED_FIRST = 1368;  // + 0..3: 25, 50, 75, 100 %

inline constexpr std::int32_t kPracticeCommandFirst = IDM_SONG_OPEN;
inline constexpr std::int32_t kPracticeCommandLast = IDM_SONG_SPEED_FIRST + 3;
static_assert(std::size(kPracticeSpeeds) == 4);

constexpr bool IsPracticeCommand(std::int32_t id) {
  return id >= kPracticeCommandFirst && id <= kPracticeCommandLast;
}

inline constexpr std::array<std::int32_t, 3> kModeCommands = {IDM_SONG_WAITING, IDM_SONG_PLAY_ALONG,
                                                              IDM_SONG_LISTEN};

constexpr std::int32_t ModeCommand(PracticeMode mode) {
  return kModeCommands[static_cast<std::size_t>(mode)];
}
constexpr std::optional<PracticeMode> ModeOfCommand(std::int32_t id) {
  for (std::size_t i = 0; i < kModeCommands.size(); ++i) {
    if (kModeCommands[i] == id) return static_cast<PracticeMode>(i);
  }
  return std::nullopt;
}
// The speeds offered (kPracticeSpeeds), one item each, in their order.
inline constexpr std::int32_t kSpeedCount = static_cast<std::int32_t>(std::size(kPracticeSpeeds));
constexpr std::int32_t SpeedCommand(int percent) {
  for (std::int32_t i = 0; i < kSpeedCount; ++i) {
    if (kPracticeSpeeds[i] == percent) return IDM_SONG_SPEED_FIRST + i;
  }
  return IDM_SONG_SPEED_FIRST + kSpeedCount - 1;
}
constexpr std::optional<int> SpeedOfCommand(std::int32_t id) {
  const std::int32_t i = id - IDM_SONG_SPEED_FIRST;
  if (i < 0 || i >= kSpeedCount) return std::nullopt;
  return kPracticeSpeeds[i];
}

static_assert(ModeCommand(PracticeMode::kWaiting) == IDM_SONG_WAITING &&
              ModeCommand(PracticeMode::kPlayingAlong) == IDM_SONG_PLAY_ALONG &&
              ModeCommand(PracticeMode::kListening) == IDM_SONG_LISTEN);

}  // namespace tonvale
