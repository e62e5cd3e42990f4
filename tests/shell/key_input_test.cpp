#include "shell/key_input.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace tonvale {
namespace {

std::optional<std::uint32_t> X11(bool release, bool repeat, quint32 native) {
  return KeyParameter(KeyFields{release, repeat, native}, NativeScanCodes::kX11);
}

TEST(KeyInput, X11KeyEventsBecomeKeyParameters) {
  // A is evdev 30, native 38; auto-repeat's release is dropped.
  EXPECT_EQ(X11(false, false, 38), 0x001E0001u);
  EXPECT_EQ(X11(false, true, 38), 0x401E0001u);
  EXPECT_EQ(X11(true, false, 38), 0xC01E0001u);
  EXPECT_EQ(X11(true, true, 38), std::nullopt);
  EXPECT_EQ(X11(true, false, 106), 0xC1350001u);
  const struct {
    quint32 native;
    std::uint32_t parameter;
  } presses[] = {{9, 0x00010001u},    // Esc, the first code
                 {61, 0x00350001u},   // slash
                 {106, 0x01350001u},  // keypad slash: extended, plays like slash
                 {105, 0x011D0001u},  // right Ctrl
                 {111, 0x01480001u},  // Up
                 {119, 0x01530001u},  // Delete
                 // No scan code (synthetic events) and codes without a set-1
                 // equivalent never alias a playing key.
                 {0, 1u},
                 {7, 1u},
                 {8 + 258, 1u},
                 {8 + 113, 1u}};
  for (const auto& p : presses) EXPECT_EQ(X11(false, false, p.native), p.parameter) << p.native;
}

TEST(KeyInput, WindowsScanCodesKeepTheirExtendedBit) {
  const auto win = [](quint32 native) {
    return KeyParameter(KeyFields{false, false, native}, NativeScanCodes::kWindows);
  };
  EXPECT_EQ(win(0x1E), 0x001E0001u);
  EXPECT_EQ(win(0x135), 0x01350001u);
  EXPECT_EQ(win(0x21E), 0x001E0001u);  // bits above the extended bit are not ours
}

TEST(KeyInput, QtKeyEventFields) {
  const QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, "a");
  const QKeyEvent repeat(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, "a", true);
  const QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, "a");
  const QKeyEvent repeat_release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 38, 0x61, 0, "a",
                                 true);
  if (PlatformScanCodes() == NativeScanCodes::kX11) {
    EXPECT_EQ(KeyParameter(press), 0x001E0001u);
    EXPECT_EQ(KeyParameter(repeat), 0x401E0001u);
    EXPECT_EQ(KeyParameter(release), 0xC01E0001u);
  }
  EXPECT_EQ(KeyParameter(repeat_release), std::nullopt);
  EXPECT_EQ(ReleaseParameterOf(0x401E0001u), 0xC01E0001u);
}

TEST(KeyInput, HeldKeysAreReleasedOnceInScanCodeOrder) {
  HeldKeys held;
  EXPECT_TRUE(held.Empty());
  held.Pressed(0x01350001u);  // keypad slash
  held.Pressed(0x00350001u);  // slash
  held.Pressed(0x401E0001u);  // A, auto-repeated
  held.Pressed(0x001F0001u);  // S
  held.Released(0xC01F0001u);
  EXPECT_TRUE(held.IsDown(0x00350001u));
  EXPECT_FALSE(held.IsDown(0x001F0001u));
  EXPECT_FALSE(held.Empty());
  EXPECT_EQ(held.TakeReleases(),
            (std::vector<std::uint32_t>{0xC01E0001u, 0xC0350001u, 0xC1350001u}));
  EXPECT_TRUE(held.Empty());
  EXPECT_TRUE(held.TakeReleases().empty());
}

}  // namespace
}  // namespace tonvale
