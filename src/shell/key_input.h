// Turns Qt key events into the 32-bit key parameter the key handler reads:
// repeat count 1 in bits 0..15, the PC set-1 scan code in bits 16..23, bit 24
// for an extended key, bit 30 when the key was already down, bits 30 and 31
// on a release. Identifying keys by scan code keeps the instrument on the
// physical keys, whatever keyboard layout is active.
#pragma once

#include <QtGlobal>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class QKeyEvent;

namespace tonvale {

// Where the native scan code of a key event comes from.
enum class NativeScanCodes {
  kX11,      // X11 and Wayland: evdev code + 8
  kWindows,  // the scan code of the key message, bit 8 = extended key
};

// The convention of the platform this program was built for.
NativeScanCodes PlatformScanCodes();

inline constexpr std::uint32_t kExtendedKeyBit = 1u << 24;
inline constexpr std::uint32_t kReleaseBits = 3u << 30;
inline constexpr std::uint32_t kRepeatBit = 1u << 30;

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

// The release parameter of a key that went down with parameter `press`.
constexpr std::uint32_t ReleaseParameterOf(std::uint32_t press) {
  return (press & ~kRepeatBit) | kReleaseBits;
}

// Keys that went down on the keyboard and have not come up, so that they can
// be released when the window loses the keyboard focus.
class HeldKeys {
 public:
  void Pressed(std::uint32_t key_parameter);
  void Released(std::uint32_t key_parameter);
  bool IsDown(std::uint32_t key_parameter) const { return down_[Slot(key_parameter)]; }
  // The release parameters of every key still down, in scan-code order; the
  // set is empty afterwards.
  std::vector<std::uint32_t> TakeReleases();
  bool Empty() const;

 private:
  static std::size_t Slot(std::uint32_t key_parameter);
  std::array<bool, 512> down_{};  // set-1 code + 256 for extended keys
};

}  // namespace tonvale
