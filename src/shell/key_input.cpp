#include "shell/key_input.h"

#include <QKeyEvent>

namespace tonvale {

namespace {

constexpr std::uint32_t kExtended = 0x100;

// Keys that X11 reports with evdev codes of their own, mapped back to the
// set-1 codes a PC keyboard sends for them (prefixed with E0).
struct EvdevKey {
  std::uint32_t evdev;
  std::uint32_t set1;
};
constexpr EvdevKey kExtendedEvdevKeys[] = {
    {96, 0x1C},   // keypad Enter
    {97, 0x1D},   // right Ctrl
    {98, 0x35},   // keypad slash: plays like slash
    {99, 0x37},   // Print Screen
    {100, 0x38},  // right Alt
    {102, 0x47},  // Home
    {103, 0x48},  // Up
    {104, 0x49},  // Page Up
    {105, 0x4B},  // Left
    {106, 0x4D},  // Right
    {107, 0x4F},  // End
    {108, 0x50},  // Down
    {109, 0x51},  // Page Down
    {110, 0x52},  // Insert
    {111, 0x53},  // Delete
    {125, 0x5B},  // left Windows key
    {126, 0x5C},  // right Windows key
    {127, 0x5D},  // menu key
};

// evdev codes 1..88 are the set-1 codes of the main block and function keys.
constexpr std::uint32_t kLastPlainEvdev = 88;

// The parameter of a first press of `scan`, a set-1 code with kExtended for
// the extended keys.
constexpr std::uint32_t PressParameter(std::uint32_t scan) {
  std::uint32_t parameter = 1u | ((scan & 0xFF) << 16);
  if ((scan & kExtended) != 0) parameter |= kExtendedKeyBit;
  return parameter;
}

}  // namespace

NativeScanCodes PlatformScanCodes() {
#ifdef Q_OS_WIN
  return NativeScanCodes::kWindows;
#else
  return NativeScanCodes::kX11;
#endif
}

std::uint32_t Set1ScanCode(quint32 native_scan_code, NativeScanCodes source) {
  if (source == NativeScanCodes::kWindows) return native_scan_code & 0x1FF;
  if (native_scan_code < 8) return 0;
  const std::uint32_t evdev = native_scan_code - 8;
  if (evdev <= kLastPlainEvdev) return evdev;
  for (const EvdevKey& k : kExtendedEvdevKeys) {
    if (k.evdev == evdev) return k.set1 | kExtended;
  }
  // No set-1 equivalent: such a key must not alias a playing key.
  return 0;
}

std::optional<std::uint32_t> KeyParameter(const KeyFields& key, NativeScanCodes source) {
  if (key.release && key.auto_repeat) return std::nullopt;
  std::uint32_t parameter = PressParameter(Set1ScanCode(key.native_scan_code, source));
  if (key.release) {
    parameter |= kReleaseBits;
  } else if (key.auto_repeat) {
    parameter |= kKeyWasDown;
  }
  return parameter;
}

std::optional<std::uint32_t> KeyParameter(const QKeyEvent& event) {
  KeyFields key;
  key.release = event.type() == QEvent::KeyRelease;
  key.auto_repeat = event.isAutoRepeat();
  key.native_scan_code = event.nativeScanCode();
  return KeyParameter(key, PlatformScanCodes());
}

}  // namespace tonvale
