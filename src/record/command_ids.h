// Every command, control and timer identifier of the main window, and the
// private message of the playback scheduler. Menu items, accelerators,
// transport buttons and tool-bar buttons with the same identifier act alike.
#pragma once

#include <cstdint>

#include "perform/settings_commands.h"

namespace tonvale {

// The settings commands keep the numbers the settings core sorts them by
// (perform/settings_commands.h).

// Device on/off.
inline constexpr std::int32_t IDM_DEVICE_OPEN = kCmdDeviceOpen;
inline constexpr std::int32_t IDM_DEVICE_CLOSE = kCmdDeviceClose;
// Device choice: the default output (midi_device -1), then device n = 0..255.
inline constexpr std::int32_t IDM_DEVICE_MAPPER = kCmdDeviceMapper;
inline constexpr std::int32_t IDM_DEVICE_FIRST = kCmdDeviceFirst;
inline constexpr std::int32_t kMaxDeviceItems = kDevicesOffered;
// Channel index c = 0..14 (channel 16 is kept for the automatic bass).
inline constexpr std::int32_t IDM_CHANNEL_FIRST = kCmdChannelFirst;
inline constexpr std::int32_t kChannelItems = kChannelsOffered;
// Program p = 0..127.
inline constexpr std::int32_t IDM_PROGRAM_FIRST = kCmdProgramFirst;
inline constexpr std::int32_t kProgramItems = kProgramsOffered;

inline constexpr std::int32_t IDM_HELP = 1280;
inline constexpr std::int32_t IDM_ABOUT = 1281;
inline constexpr std::int32_t IDM_EXPORT_MIDI = 1282;
inline constexpr std::int32_t IDM_RECORD_START = 1283;
inline constexpr std::int32_t IDM_RECORD_STOP = 1284;
inline constexpr std::int32_t IDM_PLAY = 1285;
inline constexpr std::int32_t IDM_PLAY_LOOP = 1286;
inline constexpr std::int32_t IDM_PLAY_STOP = 1287;
inline constexpr std::int32_t IDM_FILE_SAVE = 1288;
inline constexpr std::int32_t IDM_FILE_SAVE_AS = 1289;
inline constexpr std::int32_t IDM_FILE_OPEN = 1296;
// The commands the settings core hands on untouched.
static_assert(IDM_HELP == kCmdOwnedFirst && IDM_FILE_OPEN == kCmdOwnedLast);

// Key modes: 1297..1305, 1312..1321, 1328..1332 (the full list is
// kKeyModes in perform/key_table.h); 1306..1311 and 1322..1327 are unused.
inline constexpr std::int32_t IDM_MODE_FIRST = 1297;
inline constexpr std::int32_t IDM_AUTO_BASS = kCmdAutoBass;

// Controls. The transport buttons use the numbers of their commands
// (1283..1287); the tool bar is control 0.
inline constexpr std::int32_t IDC_TOOLBAR = 0;
inline constexpr std::int32_t IDC_VELOCITY = 1344;
inline constexpr std::int32_t IDC_PITCH_BEND = 1345;

// The main window's timer that starts playback of a file named on the
// command line, 500 ms after it was loaded.
inline constexpr std::int32_t IDT_AUTOPLAY = 1;
inline constexpr int kAutoplayDelayMs = 500;

// One performance event is due during playback (WM_USER + 1).
inline constexpr std::int32_t WM_PLAY_EVENT = 1025;

}  // namespace tonvale
