// Turns Qt key events into the 32-bit key parameter the key handler reads:
// repeat count 1 in bits 0..15, the PC set-1 scan code in bits 16..23, bit 24
// for an extended key, bit 30 when the key was already down, bits 30 and 31
// on a release. Identifying keys by scan code keeps the instrument on the
// physical keys, whatever keyboard layout is active.
#pragma once

#include <QtGlobal>
#include <cstdint>
#include <optional>

#include "perform/key_handler.h"

class QKeyEvent;

namespace tonvale {

// Where the native scan code of a key event comes from.
enum class NativeScanCodes {
  kX11,      // X11 and Wayland: evdev code + 8
  kWindows,  // the scan code of the key message, bit 8 = extended key
};

// The convention of the platform this program was built for.
NativeScanCodes PlatformScanCodes();

// Set-1 scan code of a native scan code, with bit 8 set for the extended
// keys; 0 when there is none.
std::uint32_t Set1ScanCode(quint32 native_scan_code, NativeScanCodes source);

// The fields of a key event that matter here.
struct KeyFields {
  bool release = false;
  bool auto_repeat = false;
  quint32 native_scan_code = 0;
};

// The key parameter of a key event, or nothing for an auto-repeated release
// (the auto-repeat's press follows and carries the repeat bit).
std::optional<std::uint32_t> KeyParameter(const KeyFields& key, NativeScanCodes source);
std::optional<std::uint32_t> KeyParameter(const QKeyEvent& event);

}  // namespace tonvale
